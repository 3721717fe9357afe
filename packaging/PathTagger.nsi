; The PathTagger installer. It puts PathTagger.dll into the host's compression
; folder, where the host keeps its encoder plugins, and its own files (the
; tools, the read-me and the uninstaller) into a PathTagger folder below it.
; Built by the package target, which defines VERSION, OUTFILE, ICON,
; PLUGIN_DLL, README, UNINSTALLER_EXE and SHIPPED (the generated list of tools and
; shortcuts).
;
; Everything that can refuse is decided before the first write: a refused
; run leaves the disk, the registry and the Start menu as they were.
Unicode true
!include LogicLib.nsh
!include FileFunc.nsh
!define PATHTAGGER_INSTALLER
!include "${SHIPPED}"
!include "${__FILEDIR__}\common.nsh"

Name "PathTagger ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
; The host lives below Program Files and the shortcut is for all users.
; The host's own record (InstalledTo) is per user, so an installer elevated
; as another account does not see it: it then finds no host and asks.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
; The page's last words, "Completed" only when it was.
CompletedText "$DoneText"
SubCaption 4 ": $DoneText"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "PathTagger"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "PathTagger ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

DirText "PathTagger.dll goes into the host's Compression folder, where the host \
keeps its encoder plugins. The folder below is where PathTagger is installed, \
or else the one found from the host's installation; change it if the host \
lives elsewhere." \
  "Compression folder of the host"
Page directory "" "" DirectoryLeave
Page instfiles

; The Compression folder of the copy that the Add/Remove entry records, and
; whether its install made that folder, and its version; empty when there
; is none.
Var InstalledIn
Var InstalledInCreated
Var InstalledVersion
; 1 when this run makes $INSTDIR.
Var Created
; 1 from the first write of this run on.
Var Writing
; 1 once this run has begun to make the Start-menu shortcuts and the entry.
Var Linked
Var DoneText

Function .onInit
  StrCpy $DoneText "Completed"
  ReadRegStr $InstalledIn HKLM "${UNINSTALL_KEY}" "CompressionFolder"
  ReadRegDWORD $InstalledInCreated HKLM "${UNINSTALL_KEY}" "CreatedCompressionFolder"
  ReadRegStr $InstalledVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $InstalledIn != ""
  ${AndIfNot} ${FileExists} "$InstalledIn\PathTagger.dll"
  ${AndIfNot} ${FileExists} "$InstalledIn\${OWN_FOLDER}\${UNINSTALLER}"
    StrCpy $InstalledIn ""  ; removed by hand: nothing there to look after
  ${EndIf}
  ${If} $INSTDIR != ""  ; /D=
    Return
  ${EndIf}
  ${If} $InstalledIn != ""
    StrCpy $INSTDIR $InstalledIn
    Return
  ${EndIf}
  ; A value too long to read counts as missing: the default folder is then
  ; used only if a host is really there, which the checks below make sure of.
  ReadRegStr $0 HKCU "${HOST_KEY}" "InstalledTo"
  ${If} $0 == ""
    StrCpy $0 "${DEFAULT_HOST_FOLDER}"
  ${EndIf}
  StrCpy $1 $0 1 -1
  ${If} $1 != "\"
    StrCpy $0 "$0\"
  ${EndIf}
  StrCpy $INSTDIR "$0${COMPRESSION_FOLDER}"
FunctionEnd

; Is $INSTDIR the Compression folder of a host, and do the files fit below
; it? NSIS holds at most 1,023 characters of a folder; a longer one arrives
; cut, and is refused here as too long before anything acts on it.
Function CheckFolder
  StrCpy $R3 0
  ${If} ${FileExists} "$INSTDIR\${HOST_DECODERS}\*.*"
    StrCpy $R3 ${EXIT_NOT_A_HOST}
    StrCpy $R4 "$INSTDIR is the host's own folder. The host loads encoder plugins only from \
its Compression folder: choose $INSTDIR\${COMPRESSION_FOLDER}."
    Return
  ${EndIf}
  ${GetFileName} $INSTDIR $R0
  ${GetParent} $INSTDIR $R1
  ${If} $R0 != "${COMPRESSION_FOLDER}"
  ${OrIfNot} ${FileExists} "$R1\${HOST_DECODERS}\*.*"
    StrCpy $R3 ${EXIT_NOT_A_HOST}
    StrCpy $R4 "$INSTDIR is not the Compression folder of an installed host: there is no \
$R1\${HOST_DECODERS} folder beside it. Choose the Compression folder in the host's \
installation folder."
    Return
  ${EndIf}
  StrCpy $R0 "$INSTDIR\PathTagger.dll"
  Call RefuseTooLong
  ${If} $R3 = 0
    StrCpy $R0 "$INSTDIR\${OWN_FOLDER}\${UNINSTALLER}"
    Call RefuseTooLong
  ${EndIf}
  ${If} $R3 = 0
    StrCpy $R0 "$INSTDIR\${OWN_FOLDER}\README.txt"
    Call RefuseTooLong
  ${EndIf}
  ${If} $R3 = 0
    StrCpy $R6 "$INSTDIR\${OWN_FOLDER}"
    Call FitShippedTools
  ${EndIf}
FunctionEnd

; A file written and removed again in $R0 shows the folder can be written;
; a folder that is still to be made is judged by the nearest one that is
; there. The file is opened for writing by name, not trusted to exist
; because GetTempFileName gave a name: Wine gives one even where it could
; not make the file.
Function ProbeFolder
  ${DoUntil} ${FileExists} "$R0\*.*"
    ${GetParent} $R0 $R0
    ${If} $R0 == ""
      ${Break}
    ${EndIf}
  ${Loop}
  ClearErrors
  GetTempFileName $R1 $R0
  ${IfNot} ${Errors}
  ${AndIf} $R1 != ""
    FileOpen $R2 $R1 w
  ${EndIf}
  ${If} ${Errors}
  ${OrIf} $R1 == ""
    StrCpy $R3 ${EXIT_NOT_WRITTEN}
    StrCpy $R4 "$R0 cannot be written to. Nothing was installed."
    Return
  ${EndIf}
  FileClose $R2
  Delete $R1
FunctionEnd

; Every check, in the order the user should hear of them.
Function CheckAll
  Call CheckFolder
  ${If} $R3 = 0
    StrCpy $R6 $INSTDIR
    Call CheckCopyInUse
  ${EndIf}
  ${If} $R3 = 0
  ${AndIf} $InstalledIn != ""
  ${AndIf} $InstalledIn != $INSTDIR
    StrCpy $R6 $InstalledIn
    Call CheckCopyInUse
  ${EndIf}
  ${If} $R3 = 0
    StrCpy $R0 $INSTDIR
    Call ProbeFolder
  ${EndIf}
  ${If} $R3 = 0
    StrCpy $R0 "$INSTDIR\${OWN_FOLDER}"
    Call ProbeFolder
  ${EndIf}
FunctionEnd

; Interactively a refusal keeps the folder page open, to choose again.
Function DirectoryLeave
  Call CheckAll
  ${If} $R3 != 0
    ${If} $R3 != ${EXIT_IN_USE}  ; that one has had its own message, with Retry
      MessageBox MB_OK|MB_ICONEXCLAMATION $R4
    ${EndIf}
    Abort
  ${EndIf}
FunctionEnd

; Ends the section with the page saying so and Close to press (an Abort
; would leave "Completed" over it, and only Cancel).
!macro REFUSE_UNLESS_DONE
  ${If} $R3 != 0
    DetailPrint $R4
    SetErrorLevel $R3
    StrCpy $DoneText "Nothing was installed"
    Return
  ${EndIf}
!macroend

; The copies this run replaces, the one in $INSTDIR and the one the entry
; names elsewhere (a move), go aside before anything is written: each of
; their files is renamed to its name with "~" for its last letter, which is
; no longer (what fitted still fits) and no plugin the host loads. A file
; that cannot be renamed cannot be removed either, so a copy goes aside
; whole or not at all, and comes back whole when the write fails.

; Calls the function at $R9 for each file of the copies this run replaces.
Function EachReplacedFile
  StrCpy $R6 $INSTDIR
  Call EachFileOfCopy
  ${If} $InstalledIn != ""
  ${AndIf} $InstalledIn != $INSTDIR
    StrCpy $R6 $InstalledIn
    Call EachFileOfCopy
  ${EndIf}
FunctionEnd

Function AsideName  ; of $R0, in $R1
  StrCpy $R1 $R0 -1
  StrCpy $R1 "$R1~"
FunctionEnd

; A folder in a file's place is no file of ours, and is left where it is.
Function SetAsideFile
  Call AsideName
  Delete $R1  ; left by a run that was cut short
  ${If} ${FileExists} $R0
  ${AndIfNot} ${FileExists} "$R0\*.*"
    ClearErrors
    Rename $R0 $R1
    ${If} ${Errors}
      StrCpy $R8 $R0
      IntOp $R5 $R5 + 1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function RestoreFile
  Call AsideName
  ${If} ${FileExists} $R1
  ${AndIfNot} ${FileExists} $R0
    Rename $R1 $R0
  ${EndIf}
FunctionEnd

Function DiscardFile
  Call AsideName
  ${If} ${FileExists} $R1
    Delete /REBOOTOK $R1
    ${If} ${FileExists} $R1
      DetailPrint "$R1 is removed at the next restart."
    ${EndIf}
  ${EndIf}
FunctionEnd

Function SetAsideReplaced
  StrCpy $R3 0
  StrCpy $R5 0
  GetFunctionAddress $R9 SetAsideFile
  Call EachReplacedFile
  ${If} $R5 != 0
    GetFunctionAddress $R9 RestoreFile
    Call EachReplacedFile
    StrCpy $R3 ${EXIT_NOT_WRITTEN}
    StrCpy $R4 "$R8 cannot be replaced or removed (it, or its folder, cannot be changed). \
Nothing was installed, and PathTagger is as it was."
  ${EndIf}
FunctionEnd

; Once the new copy is in, the replaced one goes for good, with its folders
; when that leaves them empty (the Compression folder only if its install
; made it).
Function DiscardReplaced
  GetFunctionAddress $R9 DiscardFile
  Call EachReplacedFile
  ${If} $InstalledIn != ""
  ${AndIf} $InstalledIn != $INSTDIR
    RMDir "$InstalledIn\${OWN_FOLDER}"
    ${If} $InstalledInCreated = 1
      RMDir $InstalledIn
    ${EndIf}
  ${EndIf}
FunctionEnd

; After a failed write what was written is taken out again, and the copy it
; replaced comes back with its shortcuts and its entry. What cannot be taken
; out (the host may have loaded the
; new DLL meanwhile) keeps an entry and an uninstaller, as after an
; uninstall that could not remove everything: that copy stays in place of
; the old one.
Function Withdraw
  StrCpy $Writing 0
  SetOutPath $TEMP  ; not the folder about to go
  ${If} $Linked = 1
    !insertmacro REMOVE_SHORTCUTS
  ${EndIf}
  StrCpy $R6 $INSTDIR
  StrCpy $R7 $Created
  Call RemoveCopy
  ${If} $R5 = 0
    GetFunctionAddress $R9 RestoreFile
    Call EachReplacedFile
    ${If} $InstalledIn == ""
      DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${ElseIf} $Linked = 1
      !insertmacro CREATE_SHORTCUTS "$InstalledIn\${OWN_FOLDER}"
      StrCpy $R6 $InstalledIn
      StrCpy $R7 $InstalledInCreated
      StrCpy $R8 $InstalledVersion
      Call WriteEntry
    ${EndIf}
    DetailPrint "Writing into $INSTDIR or the registry failed; what was written is removed again."
  ${Else}
    CreateDirectory "$INSTDIR\${OWN_FOLDER}"
    File "/oname=$INSTDIR\${OWN_FOLDER}\${UNINSTALLER}" "${UNINSTALLER_EXE}"
    Call WriteThisEntry
    Call DiscardReplaced
    DetailPrint "Writing into $INSTDIR or the registry failed, and what is named above stays: \
the entry and $INSTDIR\${OWN_FOLDER}\${UNINSTALLER} stay with it, to remove it once it is free."
  ${EndIf}
  SetErrorLevel ${EXIT_NOT_WRITTEN}
FunctionEnd

; A file that could not be written was skipped (silently, or Ignore).
!macro WITHDRAW_ON_ERRORS
  ${If} ${Errors}
    Call Withdraw
    StrCpy $R3 ${EXIT_NOT_WRITTEN}
    StrCpy $R4 "Nothing was installed."
    !insertmacro REFUSE_UNLESS_DONE
  ${EndIf}
!macroend

; NSIS itself stops the run when File cannot write and the user chose Abort.
Function .onInstFailed
  ${If} $Writing = 1
    Call Withdraw
  ${EndIf}
FunctionEnd

Section "PathTagger" SecPlugin
  Call CheckAll
  !insertmacro REFUSE_UNLESS_DONE
  ; One copy at a time: the entry, the shortcuts and the uninstaller only
  ; ever know one.
  Call SetAsideReplaced
  !insertmacro REFUSE_UNLESS_DONE

  ${If} $InstalledIn == $INSTDIR
    StrCpy $Created $InstalledInCreated
  ${Else}
    StrCpy $Created 0
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
      StrCpy $Created 1
    ${EndIf}
  ${EndIf}

  StrCpy $Writing 1
  ; Until the end of the section: when NSIS stops the run over a file it
  ; cannot write, the page must not say "Completed" (Cancel then takes
  ; out what was written).
  StrCpy $DoneText "Stopped"
  ClearErrors
  SetOverwrite on
  CreateDirectory "$INSTDIR\${OWN_FOLDER}"
  SetOutPath "$INSTDIR"
  File "/oname=PathTagger.dll" "${PLUGIN_DLL}"
  SetOutPath "$INSTDIR\${OWN_FOLDER}"
  File "/oname=README.txt" "${README}"
  !insertmacro INSTALL_SHIPPED_TOOLS
  File "/oname=${UNINSTALLER}" "${UNINSTALLER_EXE}"
  !insertmacro WITHDRAW_ON_ERRORS
  StrCpy $Linked 1
  !insertmacro CREATE_SHORTCUTS "$INSTDIR\${OWN_FOLDER}"
  Call WriteThisEntry
  !insertmacro WITHDRAW_ON_ERRORS
  Call DiscardReplaced
  StrCpy $DoneText "Completed"
SectionEnd

Function WriteThisEntry
  StrCpy $R6 $INSTDIR
  StrCpy $R7 $Created
  StrCpy $R8 "${VERSION}"
  Call WriteEntry
FunctionEnd

; The Add/Remove entry of the copy in the Compression folder $R6, whose
; install made that folder when $R7 is 1, of version $R8.
Function WriteEntry
  SectionGetSize ${SecPlugin} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "PathTagger"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" $R8
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$R6\${OWN_FOLDER}\${UNINSTALLER},0"
  ; PathTagger's own folder: the Compression folder holds other plugins too.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$R6\${OWN_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" \
    '"$R6\${OWN_FOLDER}\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$R6\${OWN_FOLDER}\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "CompressionFolder" $R6
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "CreatedCompressionFolder" $R7
FunctionEnd
