// Handlers whose subsystems are not built yet. Each moves to its subsystem's folder when that subsystem is built.

#include "shell/Winrecx.h"

void TForm1_rec::OpenClick() {}
void TForm1_rec::SaveClick() {}
void TForm1_rec::Print1Click() {}
void TForm1_rec::PrintSetup1Click() {}
void TForm1_rec::Edit2Click() {}
void TForm1_rec::Copy1Click() {}
void TForm1_rec::Paste1Click() {}
void TForm1_rec::Colors1Click() {}
void TForm1_rec::Skin11Click() {}
void TForm1_rec::Skin21Click() {}
void TForm1_rec::Skin31Click() {}
void TForm1_rec::Skin41Click() {}
void TForm1_rec::Skin51Click() {}
void TForm1_rec::Skin61Click() {}
void TForm1_rec::Skin71Click() {}
void TForm1_rec::Skin81Click() {}
void TForm1_rec::BrightGrid1Click() {}
void TForm1_rec::Help2Click() {}
void TForm1_rec::About2Click() {}

