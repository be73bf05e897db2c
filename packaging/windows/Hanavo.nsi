; The Hanavo setup program. Built by the windows-package target of the Windows build, which
; passes VERSION (x.y.z), EXE (Hanavo.exe), HELP (the help page), ICON and OUTFILE.
;
; Installs for the current user by default, with no administrator rights, in
; %LOCALAPPDATA%\Programs\Hanavo; /AllUsers installs for every user (administrators only) in
; Program Files with the all-users Start menu and Startup folders. The sign-in shortcut is
; the one Hanavo.lnk that the settings dialog's sign-in switch also makes and removes.

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Hanavo"
!define PUBLISHER "Quillmere"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hanavo"
; Held by every running Hanavo.exe for its whole life.
!define INSTANCE_MUTEX "Local\Quillmere.Hanavo.Instance"
!define SYNCHRONIZE 0x00100000
; Exit code of a silent run that found Hanavo running.
!define EXIT_RUNNING 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Hanavo"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"

Var AllUsers

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Hanavo.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PUBLISHER}"

; Stops while a Hanavo is running: asks to close it, or in a silent run ends with EXIT_RUNNING.
!macro WaitUntilHanavoEnds
    ${Do}
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
        ${If} $0 P= 0
            ${Break}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        ${If} ${Silent}
            SetErrorLevel ${EXIT_RUNNING}
            Quit
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Hanavo が実行中です。Hanavo を終了してから [再試行] を押してください。" \
            /SD IDCANCEL IDRETRY +3
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${Loop}
!macroend

; /AllUsers on the command line: every user's folders and the machine's uninstall entry.
!macro ChooseInstallMode
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${If} ${Errors}
        StrCpy $AllUsers 0
        SetShellVarContext current
    ${Else}
        StrCpy $AllUsers 1
        SetShellVarContext all
    ${EndIf}
!macroend

Section "Hanavo 本体" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "/oname=Hanavo.exe" "${EXE}"
    File "/oname=Hanavo.html" "${HELP}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Hanavo.lnk" "$INSTDIR\Hanavo.exe" "" "$INSTDIR\Hanavo.exe" 0

    ${If} $AllUsers = 1
        StrCpy $R2 ' /AllUsers'
    ${Else}
        StrCpy $R2 ''
    ${EndIf}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Hanavo.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"$R2'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe"$R2 /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "サインイン時に自動モードで起動する" SecSignIn
    ; The shortcut starts in the folder that is current when it is made.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMSTARTUP\Hanavo.lnk" "$INSTDIR\Hanavo.exe" "/a" "$INSTDIR\Hanavo.exe" 0
SectionEnd

; Unticked on an upgrade: the user chose no sign-in start, so an old shortcut goes too.
Section "-SignInOff"
    ${IfNot} ${SectionIsSelected} ${SecSignIn}
        Delete "$SMSTARTUP\Hanavo.lnk"
    ${EndIf}
SectionEnd

Function .onInit
    !insertmacro ChooseInstallMode
    ${If} $AllUsers = 1
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP "すべてのユーザー用のインストールには管理者の権限が必要です。" /SD IDOK
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
        ; Per-machine programs go to Program Files unless /D chose a folder.
        ${If} $INSTDIR == "$LOCALAPPDATA\Programs\Hanavo"
            StrCpy $INSTDIR "$PROGRAMFILES\Hanavo"
        ${EndIf}
    ${EndIf}
    ; An upgrade goes where the installed copy is and keeps its sign-in choice.
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
        ${IfNot} ${FileExists} "$SMSTARTUP\Hanavo.lnk"
            !insertmacro UnselectSection ${SecSignIn}
        ${EndIf}
    ${EndIf}
    !insertmacro WaitUntilHanavoEnds
FunctionEnd

Function un.onInit
    !insertmacro ChooseInstallMode
    !insertmacro WaitUntilHanavoEnds
FunctionEnd

; Removes what setup made and the sign-in shortcut, whoever made it. The settings under
; HKCU\Software\Quillmere\Hanavo stay, and nothing but setup's own files is deleted: the
; folder goes only when it is empty, so a launch folder kept inside it is never touched.
Section "Uninstall"
    Delete "$INSTDIR\Hanavo.exe"
    Delete "$INSTDIR\Hanavo.html"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Hanavo.lnk"
    Delete "$SMSTARTUP\Hanavo.lnk"
    ${If} $AllUsers = 1
        ; The settings dialog's switch makes the shortcut in the user's own Startup folder.
        SetShellVarContext current
        Delete "$SMSTARTUP\Hanavo.lnk"
        SetShellVarContext all
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
