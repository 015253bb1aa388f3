; The installer of VornaStampShifter: the program in Program Files, a Start menu entry, and an
; uninstaller registered in Apps & features. Built by the build (packaging/CMakeLists.txt), which
; defines:
;   VSS_VERSION       the version the windows show ("2.13"), VSS_VERSION4 its four-part form
;   VSS_TARGET        amd64-unicode or x86-unicode
;   VSS_STAGE         the folder holding VornaStampShifter.exe, vornasts.exe, readme.txt and (when built) VornaSTS.hlp
;   VSS_MARKER        the marker file that makes the installed copy keep its settings per user
;   VSS_ICON          the program's icon
;   VSS_OUTFILE       the installer to write
;   VSS_HAS_HELP      defined when the help file is in the stage
; Silent: "setup.exe /S" installs (into /D=folder when given), "uninst.exe /S" removes the program
; and keeps the user's settings.

Unicode true
Target ${VSS_TARGET}
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define APP "VornaStampShifter"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define SETTINGS_DIR "$APPDATA\${APP}"

Name "${APP} ${VSS_VERSION}"
OutFile "${VSS_OUTFILE}"
!if "${VSS_TARGET}" == "amd64-unicode"
InstallDir "$PROGRAMFILES64\${APP}"
!else
InstallDir "$PROGRAMFILES\${APP}"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} Ver ${VSS_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VSS_VERSION4}"
VIFileVersion "${VSS_VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "${APP}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VSS_VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VSS_VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "${APP} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${APP} Project"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${APP} Project"

!define MUI_ICON "${VSS_ICON}"
!define MUI_UNICON "${VSS_ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "ファイルやフォルダの作成日時・更新日時と属性を一括して変更するツール、$(^NameDA) をインストールします。$\r$\n$\r$\n設定はユーザーごとに %APPDATA%\${APP} に保存され、インストール先のフォルダには書き込みません。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "readme.txt を表示する"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A running copy holds its executable and would save its settings after the files changed: it is
; closed first. Silent runs give up instead of waiting.
!macro WAIT_UNTIL_CLOSED un
Function ${un}WaitUntilClosed
  ${Do}
    FindWindow $0 "TVNStampShifter"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} が起動しています。終了してから [再試行] を押してください。" /SD IDCANCEL IDRETRY retry
    Abort
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
  SetShellVarContext all
  Call WaitUntilClosed
FunctionEnd

Section "${APP}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${VSS_STAGE}/VornaStampShifter.exe"
  File "${VSS_STAGE}/vornasts.exe"
!ifdef VSS_HAS_HELP
  File "${VSS_STAGE}/VornaSTS.hlp"
!endif
  File "${VSS_STAGE}/readme.txt"
  ; The marker beside the executable: this copy keeps its settings in the user's own folder.
  File "/oname=${APP}.installed" "${VSS_MARKER}"
  WriteUninstaller "$INSTDIR\uninst.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\VornaStampShifter.exe" "" "$INSTDIR\VornaStampShifter.exe" 0 \
    SW_SHOWNORMAL "" "ファイルやフォルダの日時と属性を一括して変更します"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VSS_VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$\"$INSTDIR\VornaStampShifter.exe$\",0"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${APP} Project"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" "$\"$INSTDIR\uninst.exe$\""
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninst.exe$\" /S"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetShellVarContext all
  Call un.WaitUntilClosed
FunctionEnd

; $R0 := the target of the shell link $R0 names, or "" when it cannot be read.
Function un.LinkTarget
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  ; CLSID_ShellLink through IShellLinkW, loaded through its IPersistFile.
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r2'
  ${If} $2 = 0
    System::Call '$1->0(g "{0000010B-0000-0000-C000-000000000046}", *p .r2) i .r0'
    ${If} $0 = 0
      System::Call '$2->5(w R0, i 0) i .r0'
      ${If} $0 = 0
        System::Call '$1->3(w .r3, i ${NSIS_MAX_STRLEN}, p 0, i 0) i .r0'
        ${IfNot} $0 = 0
          StrCpy $3 ""
        ${EndIf}
      ${EndIf}
      System::Call '$2->2()'
    ${EndIf}
    System::Call '$1->2()'
  ${EndIf}
  StrCpy $R0 $3
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"

  ; The user's Send To entry, when it starts this copy (a portable copy's entry of the same name stays).
  SetShellVarContext current
  ${If} ${FileExists} "$SENDTO\${APP}.lnk"
    StrCpy $R0 "$SENDTO\${APP}.lnk"
    Call un.LinkTarget
    ${If} $R0 != ""
      GetFullPathName $R1 "$R0"
      GetFullPathName $R2 "$INSTDIR\VornaStampShifter.exe"
      ${If} $R1 == $R2
        Delete "$SENDTO\${APP}.lnk"
        DetailPrint "「送る」から ${APP} を削除しました"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ; The user's settings are the user's: asked about, and kept by a silent uninstall.
  ${If} ${FileExists} "${SETTINGS_DIR}\${APP}.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "${APP} の設定ファイルも削除しますか？$\r$\n$\r$\n${SETTINGS_DIR}\${APP}.ini$\r$\n$\r$\n[いいえ] を選ぶと設定は残り、再びインストールしたときに引き継がれます。" /SD IDNO IDNO keep_settings
    Delete "${SETTINGS_DIR}\${APP}.ini"
    ; The journal of the last run (for the undo command) goes with them.
    Delete "${SETTINGS_DIR}\${APP}.undo"
    Delete "${SETTINGS_DIR}\${APP}.undo.new"
    RMDir "${SETTINGS_DIR}"
    keep_settings:
  ${EndIf}
  SetShellVarContext all

  ; Only what the installer put there: a folder chosen by the user may hold other files.
  Delete "$INSTDIR\VornaStampShifter.exe"
  Delete "$INSTDIR\vornasts.exe"
  Delete "$INSTDIR\VornaSTS.hlp"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\${APP}.installed"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
