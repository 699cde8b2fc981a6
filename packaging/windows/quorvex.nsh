; The installer's own steps beside CPack's template (cmake/QuorvexCPackWindows.cmake includes this
; file through CPACK_NSIS_DEFINES): .KFG opens in the window, and nothing is changed while one of
; the programs runs.

!define QUORVEX_PROGID "Quorvex.Configuration"

; Sets $R8 to FILE when it exists and Windows refuses to open it for writing, as it does for the
; file of a running program (whoever runs it, in whichever session). Opened to append, it is
; neither changed nor truncated.
!macro QuorvexNoteIfInUse FILE
  IfFileExists "${FILE}" 0 +7
    ClearErrors
    FileOpen $R9 "${FILE}" a
    IfErrors 0 +3
      StrCpy $R8 "${FILE}"
      Goto +2
    FileClose $R9
!macroend

; Stops the installer or uninstaller before it touches anything while quorvex.exe or
; quorvex-cli.exe of FOLDER runs: replacing or removing a running program fails file by file and
; would leave a folder of old and new programs. Exit code 2, the one NSIS gives a stop by the
; script; the box is skipped in silent mode.
!macro QuorvexRefuseWhileRunning FOLDER WHAT
  StrCpy $R8 ""
  !insertmacro QuorvexNoteIfInUse "${FOLDER}\quorvex.exe"
  !insertmacro QuorvexNoteIfInUse "${FOLDER}\quorvex-cli.exe"
  StrCmp $R8 "" +4
    MessageBox MB_OK|MB_ICONSTOP "Quorvex is running ($R8 is in use). Close it and start the ${WHAT} again; nothing has been changed." /SD IDOK
    SetErrorLevel 2
    Abort
!macroend

; SHCNE_ASSOCCHANGED: Explorer shows the new icon and open command without a new login.
!macro QuorvexTellExplorer
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

; .KFG files open in the window (by a double-click, or `start` in a console). SHCTX is
; HKLM\Software\Classes for an installation for all users, the user's own classes otherwise.
!macro QuorvexRegisterKfg
  WriteRegStr SHCTX "Software\Classes\.KFG" "" "${QUORVEX_PROGID}"
  WriteRegStr SHCTX "Software\Classes\${QUORVEX_PROGID}" "" "Quorvex configuration"
  WriteRegStr SHCTX "Software\Classes\${QUORVEX_PROGID}\DefaultIcon" "" "$INSTDIR\quorvex.exe,0"
  WriteRegStr SHCTX "Software\Classes\${QUORVEX_PROGID}\shell\open\command" "" \
      '"$INSTDIR\quorvex.exe" "%1"'
  !insertmacro QuorvexTellExplorer
!macroend

; .KFG is given back only while it still names our type: a program installed later may have taken
; it since. Its other entries (other programs' "open with" lists) stay.
!macro QuorvexUnregisterKfg
  ReadRegStr $R9 SHCTX "Software\Classes\.KFG" ""
  StrCmp $R9 "${QUORVEX_PROGID}" 0 +3
    DeleteRegValue SHCTX "Software\Classes\.KFG" ""
    DeleteRegKey /ifempty SHCTX "Software\Classes\.KFG"
  DeleteRegKey SHCTX "Software\Classes\${QUORVEX_PROGID}"
  !insertmacro QuorvexTellExplorer
!macroend
