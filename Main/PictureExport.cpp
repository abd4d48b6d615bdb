// Pictures of what the window shows, saved as JPEG files.
#include "Main/Main.h"

void TForm1::Mentskpknt1Click() {}
void TForm1::Kpmentsemsnven2Click() {}
