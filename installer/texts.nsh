; The installer's own texts in English and Russian (UTF-8; makensis reads it with
; -INPUTCHARSET UTF8). The standard pages take theirs from the language files of NSIS.

LangString WelcomeText ${LANG_ENGLISH} "Setup will install Vexlume ${VX_VERSION}, a screen magnifier, for your user account. It needs no administrator rights.$\r$\n$\r$\nIf Vexlume is running, Setup closes it and starts the new version when it has finished.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_RUSSIAN} "Программа установит экранную лупу Vexlume ${VX_VERSION} для вашей учётной записи. Права администратора не нужны.$\r$\n$\r$\nЕсли Vexlume запущен, программа установки закроет его и по окончании запустит новую версию.$\r$\n$\r$\nНажмите кнопку «Далее», чтобы продолжить."
LangString StartPageTitle ${LANG_ENGLISH} "Start with Windows"
LangString StartPageTitle ${LANG_RUSSIAN} "Запуск вместе с Windows"
LangString StartPageSubtitle ${LANG_ENGLISH} "Choose whether Vexlume starts when you log on."
LangString StartPageSubtitle ${LANG_RUSSIAN} "Выберите, запускать ли Vexlume при входе в систему."
LangString StartPageText ${LANG_ENGLISH} "Vexlume can start by itself each time you log on to Windows and wait in the notification area. You can change this later with $\"Start with Windows$\" in its settings dialog."
LangString StartPageText ${LANG_RUSSIAN} "Vexlume может запускаться сам при каждом входе в Windows и ждать в области уведомлений. Это можно изменить позже флажком $\"Start with Windows$\" в окне его настроек."
LangString StartWithWindowsBox ${LANG_ENGLISH} "Start Vexlume with Windows"
LangString StartWithWindowsBox ${LANG_RUSSIAN} "Запускать Vexlume вместе с Windows"
LangString StillRunning ${LANG_ENGLISH} "Vexlume is still running and cannot be replaced. Choose $\"Exit$\" in its tray menu and try again."
LangString StillRunning ${LANG_RUSSIAN} "Vexlume всё ещё работает, и его нельзя заменить. Выберите $\"Выход$\" в его меню в области уведомлений и повторите попытку."
LangString RemoveUserData ${LANG_ENGLISH} "My settings and plug-ins"
LangString RemoveUserData ${LANG_RUSSIAN} "Мои настройки и плагины"
