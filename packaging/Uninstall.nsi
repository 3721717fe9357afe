; Uninstall.exe, which the installer puts into the PathTagger folder. It
; removes the copy it sits in and does all of it in the process its caller
; started, so that its exit status (common.nsh) is its outcome. Only its own
; file and folder cannot go while it runs: it hands them to a copy of itself
; in the temporary folder, which waits for this process to end and removes
; them (/FINISH=<process id> /CREATED=<0|1> /D=<the PathTagger folder>).
; Built by the package target, which defines VERSION, OUTFILE and SHIPPED.
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
Icon "${NSISDIR}\Contrib\Graphics\Icons\classic-uninstall.ico"

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
Var Registered  ; 1 when the Add/Remove entry names this copy
Var DoneText
Var FinishFor  ; the process id of the uninstaller to finish for, or empty

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
    ; SYNCHRONIZE; bounded, so that a stuck uninstaller cannot keep this
    ; copy waiting for ever
    System::Call 'kernel32::WaitForSingleObject(p r0, i 60000) i .r1'
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ${GetParameters} $R0
  ${GetOptions} $R0 "/CREATED=" $R1
  ${If} $R1 == 1
    ${GetParent} $INSTDIR $R0
    RMDir $R0
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

  ; The entry and the shortcuts belong to this copy only when the entry
  ; names it; a copy the entry does not know leaves them to the one it does.
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "CompressionFolder"
  StrCpy $Registered 0
  StrCpy $R7 0
  ${If} $R0 == $Compression
    StrCpy $Registered 1
    ReadRegDWORD $R7 HKLM "${UNINSTALL_KEY}" "CreatedCompressionFolder"
    ${If} $R7 == ""
      StrCpy $R7 0
    ${EndIf}
  ${EndIf}

  SetOutPath $TEMP  ; not the folder about to go
  ${If} $Registered = 1
    StrCpy $R6 $Compression
    StrCpy $R8 1
    Call RemoveCopy
  ${Else}
    StrCpy $R5 0
    StrCpy $R0 "$Compression\PathTagger.dll"
    Call RemoveFile
    StrCpy $R6 "$INSTDIR"
    Call RemoveShippedTools
    StrCpy $R0 "$INSTDIR\README.txt"
    Call RemoveFile
  ${EndIf}
  ${If} $R5 != 0
    ; The entry and this uninstaller stay, to try again.
    DetailPrint "Close what holds these files, or free them, and run $INSTDIR\${UNINSTALLER} again."
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    StrCpy $DoneText "Not everything was removed"
    Return
  ${EndIf}
  ${If} $Registered = 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  !insertmacro REMOVE_PREVIEW_VALUES

  System::Call 'kernel32::GetCurrentProcessId() i .r0'
  GetTempFileName $R1
  ClearErrors
  CopyFiles /SILENT "$EXEPATH" "$R1.exe"
  ${IfNot} ${Errors}
    Exec '"$R1.exe" /S /FINISH=$0 /CREATED=$R7 /D=$INSTDIR'
  ${EndIf}
  ${If} ${Errors}
    DetailPrint "$INSTDIR\${UNINSTALLER} stays: no copy of it could be started to remove it."
    IntOp $R5 $R5 + 1
  ${EndIf}
  Delete $R1

  ${If} $R5 != 0
    SetErrorLevel ${EXIT_NOT_WRITTEN}
    StrCpy $DoneText "Not everything was removed"
  ${EndIf}
SectionEnd
