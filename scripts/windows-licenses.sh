#!/usr/bin/env bash
# The licences folder of the Windows programs: the texts of every component
# shipped beside them, and a README saying which is which.
#   scripts/windows-licenses.sh STAGE PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$1 prefix=$2
out=$stage/licenses
mkdir -p "$out"
cp "$root/LICENSE" "$out/Ionveto-MIT.txt"
cp /usr/share/common-licenses/GPL-3 "$out/GPL-3.0.txt"
cp /usr/share/common-licenses/LGPL-3 "$out/LGPL-3.0.txt"
cp /usr/share/doc/libqt6core6/copyright "$out/Qt-copyright.txt"
cp /usr/share/doc/libqcustomplot2.1-qt6/copyright "$out/QCustomPlot-copyright.txt"
cp "$prefix/share/doc/libjpeg-turbo/LICENSE.md" "$out/libjpeg-turbo-LICENSE.md"
cp "$prefix/share/doc/libjpeg-turbo/README.ijg" "$out/libjpeg-turbo-README.ijg.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$out/GCC-runtime-copyright.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$out/MinGW-w64-winpthreads-copyright.txt"
xlsx=""
if [[ -f $stage/libxlsxwriter.dll ]]; then
  cp "$prefix/share/doc/libxlsxwriter/License.txt" "$out/libxlsxwriter-License.txt"
  cp /usr/share/doc/libz-mingw-w64/copyright "$out/zlib-copyright.txt"
  xlsx="
libxlsxwriter.dll    libxlsxwriter 1.1.4 (Debian: libxlsxwriter 1.1.4-2)
                     BSD-2-Clause, with parts under their own terms:
                     libxlsxwriter-License.txt
zlib1.dll            zlib (Debian: libz-mingw-w64), zlib licence: zlib-copyright.txt"
fi
cat >"$out/README.txt" <<TXT
Ionvető: licences of the files in this folder and the program's folder
=======================================================================

ionveto.exe, ionveto-sim.exe, ionveto-report.exe
                     Ionvető, MIT licence: Ionveto-MIT.txt. Linked with
                     QCustomPlot (GPL-3.0), the programs as distributed here
                     are covered by the GNU GPL version 3: GPL-3.0.txt.
Qt6*.dll, platforms\\qwindows.dll, styles\\qwindowsvistastyle.dll,
translations\\qtbase_hu.qm
                     Qt 6.4.2 (Debian: qt6-base 6.4.2+dfsg-10,
                     qt6-translations 6.4.2), GNU LGPL version 3:
                     LGPL-3.0.txt with GPL-3.0.txt; notices: Qt-copyright.txt.
                     You may replace these DLLs with your own build of Qt.
libQCustomPlotQt6.dll
                     QCustomPlot 2.1.0 (Debian: qcustomplot 2.1.0+dfsg1-3.1),
                     GNU GPL version 3: GPL-3.0.txt; QCustomPlot-copyright.txt.
libjpeg-62.dll       libjpeg-turbo 2.1.5 (Debian: libjpeg-turbo 1:2.1.5-2),
                     IJG licence and BSD-3-Clause: libjpeg-turbo-LICENSE.md,
                     libjpeg-turbo-README.ijg.txt.
libstdc++-6.dll, libgcc_s_seh-1.dll
                     GCC 12 runtime (Debian: gcc-mingw-w64), GNU GPL version 3
                     with the GCC Runtime Library Exception:
                     GCC-runtime-copyright.txt.
libwinpthread-1.dll  MinGW-w64 winpthreads (Debian: mingw-w64), MIT and BSD
                     licences: MinGW-w64-winpthreads-copyright.txt.$xlsx

Sources: every component above was built from the Debian 12 source package
named beside it (apt-get source NAME=VERSION); the project's build scripts
are scripts/package-windows.sh and scripts/windows-prefix.sh.
TXT
