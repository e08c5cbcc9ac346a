#include "app/application.h"

#include "resources/resource_ids.h"

namespace redoviri {

ApplicationSetup ApplicationSetup::System() {
  ApplicationSetup s;
  s.clock = std::make_unique<SystemClock>();
  s.locale = UserDateLocale();
  s.files = MakeSystemFileSystem();
  return s;
}

Application::Application(ApplicationSetup setup) : setup_(std::move(setup)) {
  form3_ = std::make_unique<TForm3>();
  // The splash shows while the other windows are built and the event file
  // is read.
  form3_->show();
  UpdateWindow(form3_->handle());

  TrayApplication trayApp;
  trayApp.icon = [] { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_REDOVIRI)); };
  trayApp.mainWindow = [this] { return form1_ ? form1_->Handle() : nullptr; };
  form1_ = std::make_unique<TForm1>(TForm1Deps{.clock = *setup_.clock,
                                               .locale = setup_.locale,
                                               .options = options_,
                                               .hints = &hints_,
                                               .shell = setup_.shell,
                                               .trayApp = std::move(trayApp)});

  form2_ = std::make_unique<TForm2>(TForm2Deps{.form1 = *form1_,
                                               .files = *setup_.files,
                                               .eventFilePath = setup_.eventFilePath,
                                               .showError = [this](const std::string& m) { ShowError(m); },
                                               .hints = &hints_});
  BuildPopupMenu();

  form4_ = std::make_unique<TForm4>(&hints_);
  abou_ = std::make_unique<TABOU>(&hints_);
  help_ = std::make_unique<Thelp>(&hints_);
  ConnectWindows();
}

void Application::ConnectWindows() {
  TForm1& main = *form1_;
  main.showEventList = [this] { form2_->show(); };
  main.showDateChooser = [this] { form4_->show(); };
  main.clockTextChanged = [this](const std::string& text) {
    if (form2_->visible()) form2_->Label10.setCaption(text);
  };
  main.showPopupMenu = [this](POINT screen) { form2_->PopupMenu.Popup(screen); };
}

Application::~Application() = default;

void Application::BuildPopupMenu() {
  TPopupMenu& menu = form2_->PopupMenu;
  menu.Add({.caption = kQuitCaption, .onClick = [this] { Quit1Click(); }});
  form1_->Tray.PopupMenu = {menu.Handle(), menu.Owner()};
}

void Application::ShowError(const std::string& message) const {
  if (setup_.showError) {
    setup_.showError(message);
  } else {
    MessageBoxA(nullptr, message.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
  }
}

int Application::Run() {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (widgets::IsFormDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Application::Quit1Click() {
  options_.animatedWindow = false;
  form1_->Timer3->setEnabled(false);
  form1_->Timer1->setEnabled(false);
  form1_->Timer2->setEnabled(false);
  // Neither window may bring the other back while they go.
  form1_->Tag = 0;
  form2_->setTag(0);
  form1_->window().hide();
  form2_->hide();
  form4_->hide();
  abou_->hide();
  help_->hide();
  form1_->Tray.SetActive(false);
  PostQuitMessage(0);
}

}  // namespace redoviri
