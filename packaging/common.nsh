; What the installer (PathTagger.nsi) and the uninstaller (Uninstall.nsi)
; share: where things are, what the exit statuses mean, and the checks and
; removals that both make. Both are ordinary NSIS programs, so that the
; uninstaller, too, runs in the process its caller started and its exit
; status is its outcome.

!define HOST_KEY "Software\Brackenford\Sonavell"
!define DEFAULT_HOST_FOLDER "c:\Program files\Brackenford\Sonavell\"
!define COMPRESSION_FOLDER "Compression"
; Where the host keeps its decoders: a folder without it is no host of ours,
; and a plugin put beside it would never be loaded.
!define HOST_DECODERS "Multiplayer\Input"
!define OWN_FOLDER "PathTagger"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PathTagger"
!define PUBLISHER "PathTagger developers"
; MAX_PATH less its terminator: the longest path from which Windows starts a
; program (the Add/Remove command) and the host loads a plugin.
!define LONGEST_PATH 259

; Exit statuses, in silent mode as interactively (README, "Installing into
; the host"). 1 and 2 are NSIS's own: cancelled by the user, stopped by an
; error of NSIS's.
!define EXIT_CANCELLED 1
!define EXIT_IN_USE 3
!define EXIT_NOT_A_HOST 4
!define EXIT_TOO_LONG 5
!define EXIT_NOT_WRITTEN 6
!define EXIT_NOT_ITS_COPY 7

; The checks below answer in $R3 (0, or the exit status of the refusal) and
; $R4 (what is wrong, in words for the user); $R0 names the file.

; A file that is about to be replaced or removed must open for writing: a
; program or library that is running does not, and writing around it would
; leave a half-installed plugin. $R2 says what most likely holds the file.
Function RefuseWhileInUse
  StrCpy $R3 0
  ${IfNot} ${FileExists} $R0
    Return
  ${EndIf}
  retry:
  ClearErrors
  FileOpen $R1 $R0 a
  ${IfNot} ${Errors}
    FileClose $R1
    Return
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "$R0 is in use by $R2.$\r$\n$\r$\nClose it and press Retry, or Cancel to leave everything \
as it is." /SD IDCANCEL IDRETRY retry
  StrCpy $R3 ${EXIT_IN_USE}
  StrCpy $R4 "$R0 is in use by $R2. Nothing was changed; close it and run this again."
FunctionEnd

!ifdef PATHTAGGER_INSTALLER
Function RefuseTooLong
  StrCpy $R3 0
  StrLen $R1 $R0
  ${If} $R1 > ${LONGEST_PATH}
    StrCpy $R3 ${EXIT_TOO_LONG}
    StrCpy $R4 "$R0 would be $R1 characters long; Windows starts programs and the host loads \
plugins only from paths of up to ${LONGEST_PATH}. Nothing was installed: choose a host in a \
shorter path."
  ${EndIf}
FunctionEnd
!endif

; Every file of the copy in the Compression folder $R6.
Function CheckCopyInUse
  StrCpy $R0 "$R6\PathTagger.dll"
  StrCpy $R2 "the host (or another program that has loaded the plugin)"
  Call RefuseWhileInUse
  ${If} $R3 = 0
    StrCpy $R6 "$R6\${OWN_FOLDER}"
    Call CheckShippedToolsInUse
    ${GetParent} $R6 $R6
  ${EndIf}
FunctionEnd

; Calls the function at $R9 with $R0 naming each file that the installer
; writes into the copy in the Compression folder $R6.
Function EachFileOfCopy
  StrCpy $R0 "$R6\PathTagger.dll"
  Call $R9
  StrCpy $R6 "$R6\${OWN_FOLDER}"
  Call EachShippedTool
  StrCpy $R0 "$R6\README.txt"
  Call $R9
  StrCpy $R0 "$R6\${UNINSTALLER}"
  Call $R9
  ${GetParent} $R6 $R6
FunctionEnd

; Deletes $R0; a file that stays is named in the details and counted in $R5.
; The program that runs is left to the uninstaller's hand-over, and a folder
; in a file's place is no file of ours.
Function RemoveFile
  ${If} $R0 == $EXEPATH
  ${OrIf} ${FileExists} "$R0\*.*"
    Return
  ${EndIf}
  Delete $R0
  ${If} ${FileExists} $R0
    DetailPrint "Could not remove $R0."
    IntOp $R5 $R5 + 1
  ${EndIf}
FunctionEnd

; Removes the copy in the Compression folder $R6: exactly the files the
; installer writes, the PathTagger folder when that leaves it empty, and the
; Compression folder itself only when $R7 is 1 (the install made it) and it
; is empty. $R5 counts the files that stay.
Function RemoveCopy
  StrCpy $R5 0
  GetFunctionAddress $R9 RemoveFile
  Call EachFileOfCopy
  RMDir "$R6\${OWN_FOLDER}"
  ${If} $R7 = 1
    RMDir $R6
  ${EndIf}
FunctionEnd
