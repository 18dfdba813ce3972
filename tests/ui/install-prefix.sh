# Sourced by run-ui-scenario.sh for the installation scenarios, once the
# prefix and its D: drive exist: the desktop moves into the prefix
# (C:\desktop), so the installer's shortcut lands where the driver looks and
# nothing reaches the host's home folder.
mkdir -p "$WINEPREFIX/drive_c/desktop"
for folders in 'Shell Folders' 'User Shell Folders'; do
  "$loader" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$folders" \
    /v Desktop /t REG_SZ /d 'C:\desktop' /f >>"$out/prepare.log" 2>&1
done
wineserver -w
