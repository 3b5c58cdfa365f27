; The per-user installer of Vexlume and its uninstaller. installer/CMakeLists.txt runs makensis
; on this script with VX_BUILD_INCLUDE (the version, the icon and the file lists of the build),
; VX_SIDE_PICTURE (the picture of the first and the last page) and VX_OUTFILE defined.
;
; Setup puts the program into the user's local programs folder and the shipped filters, switched
; off, into the user's plug-in folder, adds a Start-menu shortcut and the Uninstall entry, and
; on request the Run value that starts the program with Windows. Neither needs administrator
; rights. Both run silently with /S; then setup takes /STARTWITHWINDOWS=1 or =0 (without it the
; Run value is left as it is) and the uninstaller /REMOVEUSERDATA.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include "${VX_BUILD_INCLUDE}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexlume"
; The same value the settings dialog's "Start with Windows" writes.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Vexlume"
!define RUN_DATA '"$INSTDIR\Vexlume.exe" /a'
; The folders the program composes under the user's application data.
!define USER_FOLDER "$APPDATA\${VX_COMPANY}\Vexlume"
!define PLUGIN_FOLDER "${USER_FOLDER}\Plug-Ins"
; Which shipped filters setup put into the plug-in folder: only those are setup's to refresh and
; to remove, every other file there is the user's.
!define FILTER_RECORD "$INSTDIR\filters.ini"
; How long a running copy gets to end after its close request, in steps of 100 ms.
!define END_WAIT_STEPS 100

Name "Vexlume"
OutFile "${VX_OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vexlume"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${VX_ICON}"
!define MUI_UNICON "${VX_ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${VX_SIDE_PICTURE}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
BrandingText "Vexlume ${VX_VERSION}"

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom StartWithWindowsPage StartWithWindowsLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!include "texts.nsh"

VIProductVersion "${VX_VERSION_QUAD}"
VIFileVersion "${VX_VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Vexlume"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VX_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VX_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Vexlume Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${VX_COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${VX_COPYRIGHT}"

Var StartWithWindows ; "1" write the Run value, "0" delete it, "" leave it as it is
Var StartWithWindowsBox
Var WasRunning

; The pages in Russian when the system's default language is Russian (0x0419), as the program
; chooses its own texts; in English otherwise.
!macro VxChooseLanguage
    System::Call 'kernel32::GetSystemDefaultLangID() i .r0'
    IntOp $0 $0 & 0xFFFF
    ${If} $0 = 1049
        StrCpy $LANGUAGE ${LANG_RUSSIAN}
    ${Else}
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${EndIf}
!macroend

; $0 = 1 while a copy of the program runs: the first copy holds the shared memory it publishes
; its window in.
!macro VxIsRunning UN
Function ${UN}IsRunning
    System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${VX_INSTANCE_MAPPING}") i .r0'
    ${If} $0 <> 0
        System::Call 'kernel32::CloseHandle(i r0)'
        StrCpy $0 1
    ${EndIf}
FunctionEnd
!macroend
!insertmacro VxIsRunning ""
!insertmacro VxIsRunning "un."

; Ends a running copy through its own close request (PROGRAM /u) and waits until it is gone;
; $WasRunning tells whether there was one. Gives up with a message when it does not end.
!macro VxEndRunningCopy UN PROGRAM
    StrCpy $WasRunning 0
    Call ${UN}IsRunning
    ${If} $0 = 1
        StrCpy $WasRunning 1
        ExecWait '"${PROGRAM}" /u'
        StrCpy $1 0
        ${Do}
            Call ${UN}IsRunning
            ${If} $0 = 0
                ${ExitDo}
            ${EndIf}
            ${If} $1 >= ${END_WAIT_STEPS}
                MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
                Abort
            ${EndIf}
            Sleep 100
            IntOp $1 $1 + 1
        ${Loop}
    ${EndIf}
!macroend

; A shipped filter goes into the plug-in folder switched off (NAME.lib) when the folder holds no
; file of that name in either state. A copy setup put there before is refreshed in the state
; the user left it in; a file of the user's is never touched.
!macro VxPlaceFilter NAME FILE
    ReadINIStr $0 "${FILTER_RECORD}" Filters "${NAME}"
    ${If} ${FileExists} "${PLUGIN_FOLDER}\${NAME}.dll"
        ${If} $0 == 1
            File "/oname=${PLUGIN_FOLDER}\${NAME}.dll" "${FILE}"
        ${EndIf}
    ${ElseIf} ${FileExists} "${PLUGIN_FOLDER}\${NAME}.lib"
        ${If} $0 == 1
            File "/oname=${PLUGIN_FOLDER}\${NAME}.lib" "${FILE}"
        ${EndIf}
    ${Else}
        File "/oname=${PLUGIN_FOLDER}\${NAME}.lib" "${FILE}"
        WriteINIStr "${FILTER_RECORD}" Filters "${NAME}" 1
    ${EndIf}
!macroend

!macro VxRemoveFilter NAME
    ReadINIStr $0 "${FILTER_RECORD}" Filters "${NAME}"
    ${If} $0 == 1
        Delete "${PLUGIN_FOLDER}\${NAME}.lib"
        Delete "${PLUGIN_FOLDER}\${NAME}.dll"
    ${EndIf}
!macroend

Function .onInit
    !insertmacro VxChooseLanguage
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/STARTWITHWINDOWS=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == 1
            StrCpy $StartWithWindows 1
        ${Else}
            StrCpy $StartWithWindows 0
        ${EndIf}
    ${ElseIfNot} ${Silent}
        ; The page offers what the registry holds, as the settings dialog does.
        ClearErrors
        ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
        ${If} ${Errors}
            StrCpy $StartWithWindows 0
        ${Else}
            StrCpy $StartWithWindows 1
        ${EndIf}
    ${EndIf}
FunctionEnd

Function StartWithWindowsPage
    !insertmacro MUI_HEADER_TEXT "$(StartPageTitle)" "$(StartPageSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 36u "$(StartPageText)"
    Pop $0
    ${NSD_CreateCheckbox} 0 44u 100% 12u "$(StartWithWindowsBox)"
    Pop $StartWithWindowsBox
    ${If} $StartWithWindows == 1
        ${NSD_Check} $StartWithWindowsBox
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function StartWithWindowsLeave
    ${NSD_GetState} $StartWithWindowsBox $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $StartWithWindows 1
    ${Else}
        StrCpy $StartWithWindows 0
    ${EndIf}
FunctionEnd

; "Run Vexlume" on the last page; a copy that setup has started again already stays the one.
Function StartProgram
    Call IsRunning
    ${If} $0 = 0
        Exec '"$INSTDIR\Vexlume.exe"'
    ${EndIf}
FunctionEnd

Section "Vexlume" SecProgram
    SectionIn RO
    ; The new program asks the running one to close, so that an old or damaged copy does not
    ; matter.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\Vexlume.exe" "${VX_PROGRAM}"
    !insertmacro VxEndRunningCopy "" "$PLUGINSDIR\Vexlume.exe"

    SetOutPath "$INSTDIR"
    !insertmacro VxProgramFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${PLUGIN_FOLDER}"
    !insertmacro VxPlaceFilters

    ; The shortcut starts the program in its own folder (the output path).
    CreateShortcut "$SMPROGRAMS\Vexlume.lnk" "$INSTDIR\Vexlume.exe"

    ${If} $StartWithWindows == 1
        WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '${RUN_DATA}'
    ${ElseIf} $StartWithWindows == 0
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vexlume"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VX_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${VX_COMPANY}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vexlume.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${If} $WasRunning = 1
        Exec '"$INSTDIR\Vexlume.exe"'
    ${EndIf}
SectionEnd

Section "un.Vexlume" SecUninstallProgram
    SectionIn RO
    !insertmacro VxEndRunningCopy "un." "$INSTDIR\Vexlume.exe"

    !insertmacro VxRemoveFilters
    Delete "${FILTER_RECORD}"
    RMDir "${PLUGIN_FOLDER}"
    ; What the companion libraries and the docked view keep; the settings and options stay.
    Delete "${USER_FOLDER}\${VX_ERROR_LOG}"
    Delete "${USER_FOLDER}\${VX_POINTER_MARKER}"
    Delete "${USER_FOLDER}\${VX_DOCK_MARKER}"

    Delete "$SMPROGRAMS\Vexlume.lnk"
    ; The Run value goes when it starts this copy; one that starts another copy stays.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '${RUN_DATA}'
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    !insertmacro VxRemoveProgramFiles
SectionEnd

Section /o "un.$(RemoveUserData)" SecUserData
    RMDir /r "${USER_FOLDER}"
SectionEnd

; Folders that nothing keeps any more, and last the program folder.
Section "-un.EmptyFolders"
    RMDir "${USER_FOLDER}"
    RMDir "$APPDATA\${VX_COMPANY}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    !insertmacro VxChooseLanguage
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVEUSERDATA" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUserData}
    ${EndIf}
FunctionEnd
