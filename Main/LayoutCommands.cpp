// The layout-and-measurement file and the text exports on the main window.
#include "Main/Main.h"

void TForm1::Mentsmskntelrendezssmrsiadatok1Click() {}
void TForm1::Betltselrendezssmrsiadatok1Click() {}
void TForm1::Mentsmskntmrsiadatokszvegfjlbe1Click() {}
