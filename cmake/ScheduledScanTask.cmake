# The Windows installer's daily scan of every drive, the mirror of the Linux system timer: the task
# data/windows/orvento-halvik-all-drives.xml is written into the program folder (UTF-16, as the
# Task Scheduler reads it, with the installed program's path), always, and registered under the
# name orvento-halvik-all-drives (schtasks /Create /XML) only when asked: by the finish page's
# box, unticked by default, or by the switch /ScheduledScan of a silent install. The uninstaller
# deletes the task and the file. Sets HALVIK_TASK_DEFINES (the functions and the finish page's
# box, for CPACK_NSIS_DEFINES), HALVIK_TASK_INSTALL and HALVIK_TASK_UNINSTALL.

set(task_name orvento-halvik-all-drives)
set(task_file "$INSTDIR\\${task_name}.xml")
file(STRINGS ${PROJECT_SOURCE_DIR}/data/windows/${task_name}.xml task_lines)
set(task_writes "")
foreach(line IN LISTS task_lines)
  # NSIS strings: "$" is written "$$", a quote "$\"".
  string(REPLACE "$" "$$" line "${line}")
  string(REPLACE "\"" "$\\\"" line "${line}")
  string(REPLACE "@PROGRAM@" "$INSTDIR\\orvento-halvik.exe" line "${line}")
  string(APPEND task_writes "  FileWriteUTF16LE $0 \"${line}$\\r$\\n\"\n")
endforeach()

set(HALVIK_TASK_DEFINES "
!include FileFunc.nsh
!define MUI_FINISHPAGE_SHOWREADME \"\"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT \"Scanner tous les lecteurs chaque jour (t\${U+00E2}che planifi\${U+00E9}e)\"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION RegisterScheduledScan
Function WriteScheduledScanTask
  FileOpen $0 \"${task_file}\" w
  FileWriteWord $0 0xFEFF
${task_writes}  FileClose $0
FunctionEnd
Function RegisterScheduledScan
  nsExec::ExecToLog '\"$SYSDIR\\schtasks.exe\" /Create /XML \"${task_file}\" /TN ${task_name} /F'
  Pop $0
FunctionEnd")

set(HALVIK_TASK_INSTALL "
  Call WriteScheduledScanTask
  \${GetParameters} $0
  ClearErrors
  \${GetOptions} $0 /ScheduledScan $1
  IfErrors +2 0
  Call RegisterScheduledScan")

set(HALVIK_TASK_UNINSTALL "
  nsExec::ExecToLog '\"$SYSDIR\\schtasks.exe\" /Delete /TN ${task_name} /F'
  Pop $0
  Delete \"${task_file}\"")
