; The Vantrel installer, one script for both architectures. makensis is given:
;   /DARCH=x86|x64       which build the set holds (decides the stub and the folders)
;   /DVERSION=a.b.c.d    the program's version
;   /DSOURCE=<folder>    the folder with vantrel.exe, update.dll and defragsvc.exe
;   /DOUTFILE=<path>     the installer to write
; It installs into Program Files under Brenlow\Vantrel with a Start-menu shortcut and
; an uninstaller registered with Add/Remove Programs. The logon entry is the
; program's business. "/verysilent" (what the program's update passes) and /S show
; nothing; "/service" ticks the optional service. Before files are replaced the running
; Vantrel of this session is asked to close; one that runs a job stays, and the setup
; then changes nothing (silent: exit code 2; otherwise it says why). A program is
; never ended by force.
; The stand-in defrag service is an optional component, off by default; an update
; keeps the components the earlier installation had.

!ifndef ARCH | VERSION | SOURCE | OUTFILE
  !error "makensis needs /DARCH, /DVERSION, /DSOURCE and /DOUTFILE"
!endif

Unicode true
!pragma warning error all
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH is x86 or x64"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Vantrel"
!define VENDOR "Brenlow"
!define PRODUCT_KEY "Software\Brenlow\Vantrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define INSTANCE_MUTEX "VANTREL_MUTEX_779dc539-376f-41b0-ad2c-3b9d56fa68bb"
!define SYNCHRONIZE 0x00100000
; The running program's main window: a dialog titled "Vantrel" with this mark, and
; the message that asks it to close, with its answers.
!define MAIN_WINDOW_PROPERTY "Vantrel.MainWindow"
!define CLOSE_MESSAGE "Vantrel.CloseForSetup"
!define CLOSE_ANSWER_CLOSING 1
!define CLOSE_ANSWER_JOB_RUNNING 2
!define SMTO_ABORTIFHUNG 0x0002
!define CLOSE_ANSWER_WAIT_MS 10000
; How long a file in use is tried again, and how long a program that said it closes
; is waited for (it may first finish reading a job's results), in steps of 250 ms.
!define WAIT_STEPS 20
!define GIVE_UP_STEPS 120

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\${VENDOR}\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${VENDOR} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${VENDOR}. All rights reserved."

LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LangString ServiceSectionName ${LANG_ENGLISH} "Stand-in defrag service"
LangString RemovedReport ${LANG_ENGLISH} "${PRODUCT} was removed from your computer. Your scan history was kept."
LangString StillRunning ${LANG_ENGLISH} "${PRODUCT} is still running and could not be ended. Close it and run the setup again."
LangString JobRunning ${LANG_ENGLISH} "${PRODUCT} is scanning or optimizing a drive. The setup did not change anything: run it again when the job has ended."

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; ---- Shared steps ---------------------------------------------------------------

!macro USE_PRODUCT_VIEW
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

; Asks the main window of a running Vantrel of this session to close. Leaves the
; answer in $5: CLOSE_ANSWER_CLOSING, CLOSE_ANSWER_JOB_RUNNING, or 0 (no window, or
; no answer).
!macro ASK_PROGRAM_TO_CLOSE un
Function ${un}AskProgramToClose
  StrCpy $5 0
  System::Call 'user32::RegisterWindowMessageW(w "${CLOSE_MESSAGE}") i .r6'
  StrCpy $7 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r7, w "#32770", w "${PRODUCT}") p .r7'
    ${If} $7 == 0
      Return
    ${EndIf}
    System::Call 'user32::GetPropW(p r7, w "${MAIN_WINDOW_PROPERTY}") p .r8'
    ${If} $8 != 0
      System::Call 'user32::SendMessageTimeoutW(p r7, i r6, p 0, p 0, i ${SMTO_ABORTIFHUNG}, i ${CLOSE_ANSWER_WAIT_MS}, *p 0 r9) p .r8'
      ${If} $8 != 0
        StrCpy $5 $9
      ${EndIf}
      Return
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro ASK_PROGRAM_TO_CLOSE ""
!insertmacro ASK_PROGRAM_TO_CLOSE "un."

; Waits for a running Vantrel to end (its single-instance mutex gone and its program
; file no longer in use), after asking it to close. Leaves $0 at 1 when none runs any
; more, 2 when it stays because it runs a job, 0 when it did not end.
!macro CLOSE_RUNNING_PROGRAM un
Function ${un}CloseRunningProgram
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r2'
    ${If} $2 == 0
      ${IfNot} ${FileExists} "$INSTDIR\vantrel.exe"
        StrCpy $0 1
        Return
      ${EndIf}
      ; A process that is ending may still have its image mapped.
      ClearErrors
      FileOpen $3 "$INSTDIR\vantrel.exe" a
      ${IfNot} ${Errors}
        FileClose $3
        StrCpy $0 1
        Return
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(p r2)'
      ${If} $1 = 0
        Call ${un}AskProgramToClose
        ${If} $5 = ${CLOSE_ANSWER_JOB_RUNNING}
          StrCpy $0 2
          Return
        ${EndIf}
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 >= ${GIVE_UP_STEPS}
      StrCpy $0 0
      Return
    ${EndIf}
    Sleep 250
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

; Copies one file of the set; a file still in use is tried again for a while, and
; the installation stops rather than leave an old file beside new ones.
!macro INSTALL_FILE name
  StrCpy $4 0
  ${Do}
    ClearErrors
    SetOverwrite try
    File "${SOURCE}\${name}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $4 $4 + 1
    ${If} $4 >= ${WAIT_STEPS}
      MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
      Abort
    ${EndIf}
    Sleep 250
  ${Loop}
!macroend

; ---- Install -----------------------------------------------------------------------


Section "-Program" SecProgram
  SetOutPath "$INSTDIR"
  Call CloseRunningProgram
  ${If} $0 = 2
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(JobRunning)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${ElseIf} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro INSTALL_FILE vantrel.exe
  !insertmacro INSTALL_FILE update.dll
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vantrel.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section /o "$(ServiceSectionName)" SecService
  SetOutPath "$INSTDIR"
  ; A registered service holds its file: stop and unregister it before the copy.
  ${If} ${FileExists} "$INSTDIR\defragsvc.exe"
    nsExec::Exec '"$INSTDIR\defragsvc.exe" --uninstall'
    Pop $0
  ${EndIf}
  !insertmacro INSTALL_FILE defragsvc.exe
  nsExec::Exec '"$INSTDIR\defragsvc.exe" --install'
  Pop $0
  WriteRegDWORD HKLM "${PRODUCT_KEY}" "ServiceComponent" 1
SectionEnd

Section "-Components left out"
  ; A component unchecked in this run is removed when an earlier run installed it.
  ${IfNot} ${SectionIsSelected} ${SecService}
    ${If} ${FileExists} "$INSTDIR\defragsvc.exe"
      nsExec::Exec '"$INSTDIR\defragsvc.exe" --uninstall'
      Pop $0
      Delete "$INSTDIR\defragsvc.exe"
    ${EndIf}
    WriteRegDWORD HKLM "${PRODUCT_KEY}" "ServiceComponent" 0
  ${EndIf}
SectionEnd

Function .onInit
  !insertmacro USE_PRODUCT_VIEW
  !if "${ARCH}" == "x64"
    StrCpy $INSTDIR "$PROGRAMFILES64\${VENDOR}\${PRODUCT}"
  !endif
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/verysilent" $1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
  ; "/service" ticks the stand-in service, for installations without a window.
  ClearErrors
  ${GetOptions} $0 "/service" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecService}
  ${EndIf}
  ; An update goes where the earlier installation is, with the same components.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
  ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "ServiceComponent"
  ${If} $0 = 1
    !insertmacro SelectSection ${SecService}
  ${EndIf}
FunctionEnd

; ---- Uninstall ---------------------------------------------------------------------

Function un.onInit
  !insertmacro USE_PRODUCT_VIEW
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  ${If} $0 = 2
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(JobRunning)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${ElseIf} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\defragsvc.exe"
    nsExec::Exec '"$INSTDIR\defragsvc.exe" --uninstall'
    Pop $0
  ${EndIf}
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\update.dll"
  Delete "$INSTDIR\defragsvc.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The vendor folder goes too when nothing else of the vendor is in it.
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "ServiceComponent"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  ; The logon entry the program wrote points at a file that is gone now.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ; The user's settings and scan history (HKCU\Software\Brenlow\Vantrel) and reports
  ; stay.
SectionEnd

Function un.onUninstSuccess
  MessageBox MB_OK|MB_ICONINFORMATION "$(RemovedReport)" /SD IDOK
FunctionEnd
