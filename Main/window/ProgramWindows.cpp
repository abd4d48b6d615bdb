#include "Main/window/ProgramWindows.h"

#include "Main/window/PswdDlg.h"
#include "dialogs/About.h"
#include "dialogs/ButtonKeys.h"
#include "dialogs/ListDlg.h"
#include "dialogs/Megjegyzes.h"
#include "dialogs/Mymsg.h"
#include "dialogs/SugoD.h"

namespace {

template <typename D>
D *Keep(D *dialog)
{
    // Dialogs never end the program by closing, even while the main window is
    // hidden for the identification.
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    return dialog;
}

} // namespace

std::unique_ptr<TForm1> CreateProgramWindows(TInstrument &instrument, TFormHooks hooks)
{
    auto form = std::make_unique<TForm1>(instrument, std::move(hooks));
    TForm1 *f = form.get();
    f->AboutBox = Keep(new TAboutBox(f));
    f->AboutBox->SetProgramFolder(f->ProgramFolder, f->ProgramFolderBesideProgram);
    f->SMsg = Keep(new TSMsg(f));
    TSMsg::SetInstance(f->SMsg);
    f->PasswordDlg = Keep(new TPasswordDlg(f));
    f->HelpDlg = Keep(new THelpDlg(f));
    f->ListaDlg = Keep(new TListaDlg(f->ProgramFolder, f));
    f->MegjDlg = Keep(new TMegjDlg(f));
    InstallEnterPressesButton(f);
    InstallFocusRing(f);
    return form;
}
