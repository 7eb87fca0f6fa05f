; The player's installer: per user, no administrator, into
; %LOCALAPPDATA%\Programs\Tessaly, where the updater can replace files.
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.0 -DPROGRAMS=<folder> -DOUTFILE=<setup.exe>
;            [-DSIGN=<command>] $PWD/installer/Tessaly.nsi
;
; (The script's path absolute: makensis works in the script's folder, and the
; icon is found beside it.)
;
; PROGRAMS holds the signed Tessaly.exe and tessaly-open.exe; SIGN, given a
; file, signs it (tools/sign.sh): the uninstaller before it is packed, then
; the installer. tools/release.sh is what runs this.
;
; /S installs silently (the desktop shortcut included) and Uninstall.exe /S
; removes silently. Exit codes: 0 done, 1 cancelled by the player, 2 stopped
; (a running client was not closed).

!ifndef VERSION | PROGRAMS | OUTFILE
  !error "VERSION, PROGRAMS and OUTFILE must be defined (see the top of this file)"
!endif

Unicode true
; The programs are 64-bit: so is the installer, which a 32-bit Windows refuses
; at once, and which a 64-bit Wine prefix runs without 32-bit support.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestSupportedOS all

!define PRODUCT "Tessaly"
!define PUBLISHER "Kestrel"
!define CLIENT "Tessaly.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define FEATURE_CONTROL_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl"
; The main window's class: a running client is asked to close through it.
!define CLIENT_MAIN_WINDOW "TessalyWebMainFrm"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER}"

!define MULTIUSER_EXECUTIONLEVEL Standard
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!ifdef SIGN
  !finalize '"${SIGN}" "%1"' = 0
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT}客户端安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${__FILEDIR__}/../resources/icon/app.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/icon/app.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${CLIENT}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString ClientRunning ${LANG_SIMPCHINESE} \
  "${PRODUCT}客户端正在运行。请先关闭客户端，然后点击“重试”；点击“取消”退出。"
LangString OtherFolder ${LANG_SIMPCHINESE} \
  "卸载程序不在${PRODUCT}的安装文件夹中，无法卸载：$INSTDIR"

; A running client keeps Tessaly.exe open, so it can be neither replaced nor
; removed. Its main window is asked once to close (the player answers the
; client's own exit question); until the file is free the player may retry or
; give up. Silent runs give up at once.
!macro CLOSE_RUNNING_CLIENT PREFIX
  Function ${PREFIX}CloseRunningClient
    StrCpy $1 ""
    ${Do}
      ${IfNot} ${FileExists} "$INSTDIR\${CLIENT}"
        Return
      ${EndIf}
      ClearErrors
      FileOpen $0 "$INSTDIR\${CLIENT}" a
      ${IfNot} ${Errors}
        FileClose $0
        Return
      ${EndIf}
      ${If} $1 == ""
        StrCpy $1 asked
        FindWindow $0 "${CLIENT_MAIN_WINDOW}"
        ${If} $0 <> 0
          System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)"
        ${EndIf}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ClientRunning)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Quit
      retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_CLIENT ""
!insertmacro CLOSE_RUNNING_CLIENT "un."

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Section "${PRODUCT}客户端" SectionClient
  SectionIn RO
  Call CloseRunningClient
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}/${CLIENT}"
  File "${PROGRAMS}/tessaly-open.exe"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${CLIENT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${CLIENT},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, after the files are in: what the player's disk holds now.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SectionDesktop
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${CLIENT}"
SectionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; The whole folder is removed: only ever the one the installer made (a
  ; copied uninstaller elsewhere must not empty that folder).
  GetKnownFolderPath $0 {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
  StrCmp $0 "" 0 +2
  StrCpy $0 "$LOCALAPPDATA\Programs"
  ${If} $INSTDIR != "$0\${PRODUCT}"
    MessageBox MB_OK|MB_ICONSTOP "$(OtherFolder)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningClient
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"

  ; What the client and the updater keep in the temporary folder: the icon
  ; file, the manifest and its signature (and their unfinished downloads),
  ; the updater's run folders, and the updater that earlier clients wrote
  ; beside the manifest.
  Delete "$TEMP\quorl.ico"
  Delete "$TEMP\update.txt"
  Delete "$TEMP\update.txt.sig"
  Delete "$TEMP\update.txt.*.part"
  Delete "$TEMP\Update.exe"
  FindFirst $0 $1 "$TEMP\Tessaly-update-*"
  ${DoWhile} $1 != ""
    RMDir /r "$TEMP\$1"
    FindNext $0 $1
  ${Loop}
  FindClose $0

  ; The browser engine's settings the client wrote for itself: a value named
  ; after its executable under each feature's key. The keys are shared with
  ; other programs; only one left empty goes.
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKCU "${FEATURE_CONTROL_KEY}" $0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    DeleteRegValue HKCU "${FEATURE_CONTROL_KEY}\$1" "${CLIENT}"
    IntOp $0 $0 + 1
  ${Loop}
  ${Do}
    IntOp $0 $0 - 1
    ${If} $0 < 0
      ${Break}
    ${EndIf}
    EnumRegKey $1 HKCU "${FEATURE_CONTROL_KEY}" $0
    DeleteRegKey /ifempty HKCU "${FEATURE_CONTROL_KEY}\$1"
  ${Loop}
  DeleteRegKey /ifempty HKCU "${FEATURE_CONTROL_KEY}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The list of per-user programs, when ours was its only entry.
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  ; Everything in the folder is the program's: what the installer put there,
  ; and what the updater added, its journal and its leftovers. The folder of
  ; all per-user programs goes only when nothing else is in it.
  RMDir /r "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"
SectionEnd
