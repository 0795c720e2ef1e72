; The Vantrel installer, one script for both architectures. makensis is given:
;   /DARCH=x86|x64       which build the set holds (decides the stub and the folders)
;   /DVERSION=a.b.c.d    the program's version
;   /DSOURCE=<folder>    the folder with vantrel.exe, update.dll and defragsvc.exe
;   /DOUTFILE=<path>     the installer to write
; It installs into Program Files under Brenlow\Vantrel with a Start-menu shortcut and
; an uninstaller registered with Add/Remove Programs, and installs and starts the
; defrag service (defragsvc.exe, the service "Vantrel", run as LocalSystem) that does
; the work. The logon entry is the program's business. "/verysilent" (what the
; program's update passes) and /S show nothing; "/simulate" installs the service over
; simulated drives (for the tests under Wine and for demonstration machines), and an
; update keeps that choice. Before files are replaced the running Vantrel of this
; session is asked to close; one that runs a job stays, and so does a service running
; a job: the setup then changes nothing (silent: exit code 2; otherwise it says why).
; Neither is ever ended by force. An update over an installation without the service
; adds it.

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

!define PRODUCT "Vantrel"
!define VENDOR "Brenlow"
!define PRODUCT_KEY "Software\Brenlow\Vantrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define SERVICE_PARAMETERS_KEY "SYSTEM\CurrentControlSet\Services\Vantrel\Parameters"
; defragsvc.exe's exit code when a job runs and the service was left running.
!define SERVICE_JOB_RUNS 3
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
LangString RemovedReport ${LANG_ENGLISH} "${PRODUCT} was removed from your computer. Your scan history was kept."
LangString StillRunning ${LANG_ENGLISH} "${PRODUCT} is still running and could not be ended. Close it and run the setup again."
LangString JobRunning ${LANG_ENGLISH} "${PRODUCT} is scanning or optimizing a drive. The setup did not change anything: run it again when the job has ended."

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
; The switches the service is installed with ("--simulate"), from the command line or
; the earlier installation.
Var ServiceSwitches

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
  ; A running service holds its file. The new service program stops it (an earlier
  ; one may not know how); a service running a job refuses, and nothing changes.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\defragsvc.exe" "${SOURCE}\defragsvc.exe"
  nsExec::Exec '"$PLUGINSDIR\defragsvc.exe" --stop'
  Pop $0
  ${If} $0 = ${SERVICE_JOB_RUNS}
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(JobRunning)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro INSTALL_FILE vantrel.exe
  !insertmacro INSTALL_FILE update.dll
  !insertmacro INSTALL_FILE defragsvc.exe
  nsExec::Exec '"$INSTDIR\defragsvc.exe" --install$ServiceSwitches'
  Pop $0
  nsExec::Exec '"$INSTDIR\defragsvc.exe" --start'
  Pop $0
  ; The service was an optional component once.
  DeleteRegValue HKLM "${PRODUCT_KEY}" "ServiceComponent"
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
  ; "/simulate", or a service installed so before: simulated drives.
  StrCpy $ServiceSwitches ""
  ReadRegDWORD $1 HKLM "${SERVICE_PARAMETERS_KEY}" "Simulate"
  ClearErrors
  ${GetOptions} $0 "/simulate" $2
  ${IfNot} ${Errors}
    StrCpy $1 1
  ${EndIf}
  ${If} $1 = 1
    StrCpy $ServiceSwitches " --simulate"
  ${EndIf}
  ReadRegDWORD $1 HKLM "${SERVICE_PARAMETERS_KEY}" "DryRun"
  ${If} $1 = 1
    StrCpy $ServiceSwitches "$ServiceSwitches --dry-run"
  ${EndIf}
  ; An update goes where the earlier installation is.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
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
  ; A service running a job is not removed, and then nothing is.
  ${If} ${FileExists} "$INSTDIR\defragsvc.exe"
    nsExec::Exec '"$INSTDIR\defragsvc.exe" --uninstall'
    Pop $0
    ${If} $0 = ${SERVICE_JOB_RUNS}
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(JobRunning)" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
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
