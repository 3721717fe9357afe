; Uninstall.exe, which the installer puts into the PathTagger folder. It
; removes the copy it sits in, and only the copy the Add/Remove entry names,
; and does all of it in the process its caller started, so that its exit
; status (common.nsh) is its outcome. Only its own file and folder cannot go
; while it runs: as it ends, it hands them to a copy of itself in the
; temporary folder, which waits for this process to end and removes them
; (/FINISH=<process id> /CREATED=<0|1> /D=<the PathTagger folder>).
; Built by the package target, which defines VERSION, OUTFILE, ICON and
; SHIPPED.
Unicode true
!include LogicLib.nsh
!include FileFunc.nsh
!include "${SHIPPED}"
!include "${__FILEDIR__}\common.nsh"

Name "PathTagger ${VERSION}"
Caption "PathTagger ${VERSION} Uninstall"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ShowInstDetails show
; The page's last words, "Completed" only when it was.
CompletedText "$DoneText"
SubCaption 4 ": $DoneText"
Icon "${ICON}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "PathTagger"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "PathTagger ${VERSION} uninstaller"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

Page instfiles

; The preview window's own memory beside the plugin's setting. The pattern
; (KestraTagFromFilename) stays for a later install.
!macro REMOVE_PREVIEW_VALUES
  DeleteRegValue HKCU "${HOST_KEY}" "PathTaggerPreview.WindowWidth"
  DeleteRegValue HKCU "${HOST_KEY}" "PathTaggerPreview.WindowHeight"
  DeleteRegValue HKCU "${HOST_KEY}" "PathTaggerPreview.LastFolder"
!macroend

Var Compression
Var CreatedCompression  ; 1 when the install made the Compression folder
Var DoneText
Var FinishFor  ; the process id of the uninstaller to finish for, or empty
Var HandOver  ; the copy that removes this program once it has ended, or empty

Function .onInit
  StrCpy $DoneText "Completed"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/FINISH=" $FinishFor
  ${If} ${Errors}
    StrCpy $FinishFor ""
  ${EndIf}
  ${If} $FinishFor != ""
    SetSilent silent
    Return
  ${EndIf}
  StrCpy $INSTDIR $EXEDIR
  ${GetParent} $INSTDIR $Compression
  ; Run anywhere else, among a user's files of the same names, it would
  ; remove those.
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "CompressionFolder"
  ${If} $R0 == ""
  ${OrIf} "$R0\${OWN_FOLDER}" != $INSTDIR
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR is not the PathTagger folder that Apps (Add/Remove \
programs) names, so nothing was removed. Remove PathTagger from there, or run the \
${UNINSTALLER} in its own folder." /SD IDOK
    SetErrorLevel ${EXIT_NOT_ITS_COPY}
    Quit
  ${EndIf}
  ReadRegDWORD $CreatedCompression HKLM "${UNINSTALL_KEY}" "CreatedCompressionFolder"
  ${If} $CreatedCompression != 1
    StrCpy $CreatedCompression 0
  ${EndIf}
  ${If} ${Silent}
    Return
  ${EndIf}
  ; Interactively every refusal comes before the first page: nothing to
  ; show a half-finished page for.
  StrCpy $R6 $Compression
  Call CheckCopyInUse
  ${If} $R3 != 0  ; it has said so, with Retry
    SetErrorLevel $R3
    Quit
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove PathTagger from $Compression?" IDYES +3
  SetErrorLevel ${EXIT_CANCELLED}
  Quit
FunctionEnd

; The hand-over: once the uninstaller has ended, its file and folder can go.
Function Finish
  ${GetFileName} $INSTDIR $R0
  ${If} $R0 != "${OWN_FOLDER}"
    Return  ; not one of ours: touch nothing
  ${EndIf}
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $FinishFor) p .r0'
  ${If} $0 != 0
    ; SYNCHRONIZE. This copy starts as the uninstaller ends, so the wait is
    ; short; one still running after a minute is stuck, and what it holds
    ; goes at the next restart instead.
    System::Call 'kernel32::WaitForSingleObject(p r0, i 60000) i .r1'
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
  ${GetParameters} $R0
  ${GetOptions} $R0 "/CREATED=" $R1
  ${If} $R1 == 1
    ${GetParent} $INSTDIR $R0
    RMDir /REBOOTOK $R0
  ${EndIf}
  Delete /REBOOTOK "$EXEPATH"
FunctionEnd

Section "Remove"
  ${If} $FinishFor != ""
    Call Finish
    Return
  ${EndIf}

  StrCpy $R6 $Compression
  Call CheckCopyInUse
  ${If} $R3 != 0
    DetailPrint $R4
    SetErrorLevel $R3
    StrCpy $DoneText "Nothing was removed"
    Return
  ${EndIf}

  SetOutPath $TEMP  ; not the folder about to go
  StrCpy $R6 $Compression
  StrCpy $R7 $CreatedCompression
  !insertmacro REMOVE_SHORTCUTS
  Call RemoveCopy
  ${If} $R5 != 0
    ; The entry and this uninstaller stay, to try again.
    DetailPrint "Close what holds these files, or free them, and run $INSTDIR\${UNINSTALLER} again."
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    StrCpy $DoneText "Not everything was removed"
    Return
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !insertmacro REMOVE_PREVIEW_VALUES

  ; The hand-over copy is made now, so that the page can say when it cannot
  ; be, and started only as this program ends: how long the last page stays
  ; open is then no matter.
  GetTempFileName $R1
  StrCpy $HandOver "$R1.exe"
  ClearErrors
  CopyFiles /SILENT "$EXEPATH" $HandOver
  ${If} ${Errors}
    StrCpy $HandOver ""
    DetailPrint "$INSTDIR\${UNINSTALLER} stays: no copy of it could be made to remove it."
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    StrCpy $DoneText "Not everything was removed"
  ${EndIf}
  Delete $R1
  ${If} ${Silent}
    Call StartHandOver
  ${EndIf}
SectionEnd

Function .onGUIEnd
  Call StartHandOver
FunctionEnd

Function StartHandOver
  ${If} $HandOver == ""
    Return
  ${EndIf}
  System::Call 'kernel32::GetCurrentProcessId() i .r0'
  ClearErrors
  Exec '"$HandOver" /S /FINISH=$0 /CREATED=$CreatedCompression /D=$INSTDIR'
  ${If} ${Errors}
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    Delete $HandOver
  ${EndIf}
  StrCpy $HandOver ""
FunctionEnd
