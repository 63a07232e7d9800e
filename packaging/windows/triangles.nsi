; The Windows installer: per user (no administrator rights), into the user's local programs
; folder, with the licence page, a Start-menu shortcut that starts the viewer in its folder (where
; times.ttf lies), and an uninstaller that removes everything it installed and the stdout.txt and
; stderr.txt the viewer may have left beside itself.
;   makensis -DVERSION=1.0.0 -DFOLDER=<the folder the zip holds> -DFILES=<lists> -DOUTFILE=<setup>
; FILES.install and FILES.uninstall (made by scripts/build-windows) put and remove each file.
Unicode true
Target amd64-unicode
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Triangles"
Name "Triangles ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Triangles"
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_LICENSE "${FOLDER}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  !include "${FILES}.install"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR" ; the shortcut's working folder
  CreateShortCut "$SMPROGRAMS\Triangles.lnk" "$INSTDIR\triangles.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Triangles"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the triangles developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${FILES}.uninstall"
  Delete "$INSTDIR\stdout.txt"
  Delete "$INSTDIR\stderr.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Triangles.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
