// The text of Korvex's help. Topics that windows open by keyword are anchors named
// after the keyword; keep those names when editing.
#include "settings/support_files.h"

namespace korvex {
namespace {

constexpr const char* kHelp = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Korvex! Help</title>
<style>
body { font-family: sans-serif; max-width: 46em; margin: 1em auto; line-height: 1.4; }
h1 { font-size: 1.6em; } h2 { font-size: 1.25em; margin-top: 2em; border-bottom: 1px solid #ccc; }
code, kbd { background: #f2f2f2; padding: 0 .2em; }
</style>
</head>
<body>
<a name="Contents"></a>
<h1 id="contents">Korvex! Help</h1>
<p>Korvex! finds out what an installation added to your Windows system and removes it
again, and clears away files that the system no longer needs. Under Wine, "your Windows
system" is the Wine prefix Korvex! was started on: its drives, its registry and its
<code>win.ini</code> and <code>system.ini</code>.</p>
<h2>Contents</h2>
<ul>
<li><a href="#Getting started">Getting started</a></li>
<li><a href="#Update database">Updating the scan database</a></li>
<li><a href="#Find Changes">Finding changes</a></li>
<li><a href="#Found changes">Reviewing and removing found changes</a></li>
<li><a href="#Uninstall">Saved uninstall data files and the Uninstall menu</a></li>
<li><a href="#System cleaner">System clean-up</a></li>
<li><a href="#Options">Options</a></li>
<li><a href="#Command line">Command line and scheduled runs</a></li>
<li><a href="#Files">Where Korvex! keeps its data</a></li>
</ul>

<a name="Getting started"></a>
<h2 id="getting-started">Getting started</h2>
<p>The usual way to track a program is:</p>
<ol>
<li>Choose the drive in <b>Scan drive</b> (usually <b>(C:)</b>; <b>Local hard drives</b>
covers every hard disk) and press <b>Update database</b>. Korvex! records every folder
and file name on the drive, the keys of the registry and copies of the system files.</li>
<li>Install the program.</li>
<li>Press <b>Find changes</b>. Korvex! takes the same snapshot again and lists everything
that is new: files and folders, registry keys and lines added to the system files.</li>
<li>Save the list as a saved uninstall data file (<code>.kvu</code>) so that you can remove
the program later, or delete what you do not want right away.</li>
</ol>
<p>The main window shows under <b>Last scan</b> when the chosen drive was last scanned,
or "This drive has not been scanned." when it has no scan database yet.</p>
<p>Close every program running in the Wine prefix (or run <code>wineserver -k</code>)
before Korvex! changes the registry: Wine keeps the registry in memory while it runs
and would overwrite the changes. Korvex! tells you when this is the case.</p>

<a name="Update database"></a>
<h2 id="update-database">Updating the scan database</h2>
<p><b>Update database</b> (also <b>File &gt; Update database</b>) walks each chosen drive
and writes the list of its folders and files into the data folder, one file per drive.
It also copies <code>win.ini</code>, <code>system.ini</code>, <code>autoexec.bat</code> and
<code>config.sys</code> and records the keys of <code>HKEY_CURRENT_USER</code> and
<code>HKEY_LOCAL_MACHINE</code>. The window shows the folder being read; closing it stops
the run and leaves the previous database as it was.</p>
<p>Update the database right before you install something: everything that changed since
the last update counts as a change.</p>

<a name="Find Changes"></a>
<h2 id="find-changes">Finding changes</h2>
<p><b>Find changes</b> needs a scan database for every chosen drive. It walks the drives
again and compares:</p>
<ul>
<li>the folders and files: new folders and new files are listed with their size and type;</li>
<li>the registry: new keys are listed (the complete registry, or only the
<code>\Software</code> sections, as set in <a href="#Options">Options</a>);</li>
<li>the system files: lines added to <code>win.ini</code>, <code>system.ini</code>,
<code>autoexec.bat</code> and <code>config.sys</code>, with the lines they replaced.</li>
</ul>
<p>Folders on the ignore list of the Options are not entered, and the fast scanning
choice of the Options can limit the walk to the Windows and Program Files folders.
With <b>Update Database while finding changes</b> on, the new snapshot replaces the scan
database afterwards, so the next search shows only what happens from now on.</p>
<p>Closing the window stops the search; nothing is changed on your system.</p>

<a name="Found changes"></a>
<h2 id="found-changes">Reviewing and removing found changes</h2>
<p>The window <b>Changes found</b> has one tab for the hard drive, one for the registry
and one for each system file. Select rows with the mouse, <b>Select All</b> or
<b>Invert selection</b>, then:</p>
<ul>
<li><b>Delete selected</b> removes the files and folders (as the delete mode of the
Options says), the registry keys with everything below them, and the selected lines
from the system files.</li>
<li><b>Save selected</b> writes the selection to a saved uninstall data file.</li>
<li><b>Move selected</b> moves the selected files to a folder you choose.</li>
<li><b>Print selected</b> prints the list.</li>
</ul>
<p>Shared libraries that other programs still use are not removed without asking.</p>

<a name="Uninstall"></a>
<h2 id="uninstall">Saved uninstall data files and the Uninstall menu</h2>
<p>A saved uninstall data file (<code>.kvu</code>) lists the files, registry keys and
system-file lines of one installation. The last four saved files appear in the
<b>Uninstall</b> menu; choosing one removes everything it lists after one question.
Whatever could not be removed stays in the file, and the message says so, so you can try
again later.</p>
<p><b>View &amp; delete changes</b> opens a saved file in the Changes found window, where
you can remove only some of its rows. In the file manager, the verb <b>Uninstall</b> on a
<code>.kvu</code> file does the same as the Uninstall menu.</p>
<p>Before registry keys are deleted, Korvex! keeps a copy of them in the <b>Backups</b>
folder of its data folder, as a <code>.reg</code> file that <code>wine regedit</code>
imports. Drive roots, the machine's own folders, the registry keys every Windows machine
needs and anything outside the machine are never removed: Korvex! lists what it left
alone.</p>

<a name="System cleaner"></a>
<h2 id="system-cleaner">System clean-up</h2>
<p><b>System clean-up</b> looks for files the system no longer needs. Choose the drive,
tick what to look for, then press <b>Scan Now</b> and pick a scan:</p>
<ul>
<li><b>Scan for temporary files</b>: backup files (<code>*.BAK</code>, <code>*.OLD</code>),
temporary files (<code>*.TMP</code>, <code>*.~??</code>, <code>*.??$</code>), lost clusters
(<code>*.CHK</code>), help indexes (<code>*.Gid</code>, <code>*.FTS</code>,
<code>*.FTG</code>), compressed leftovers (<code>*.---</code>), <code>CHKLIST.*</code>,
<code>MSCREATE.DIR</code>, Windows log files, and the extensions you add under
<b>Also scan for these files</b>.</li>
<li><b>Scan for temporary folders</b>: the contents of the temporary folder, the browser
caches and the folders you add under <b>Also scan for these folders</b>; it can also
empty the Recycle Bin (under Wine, your desktop's Trash).</li>
</ul>
<p>The list shows each file's name, folder, size and type with the totals. Select rows
and press <b>Delete</b> or <b>Move</b>. Files in use are never listed. Your choices are
kept for the next time.</p>

<a name="Options"></a>
<h2 id="options">Options</h2>
<h3>General</h3>
<p><b>While scanning, Korvex will ignore the following directories</b>: folders that Find
changes and the temporary-file scan never enter. By default these are the folders whose
contents change all the time: the temporary folder, the browser caches, cookies, recent
documents, favourites, application data, history and prefetch. Use <b>Add to list...</b>
and <b>Remove from list</b> to change it.</p>
<p><b>Load the Korvex! Scheduler on startup</b> starts the scheduler program with
Windows.</p>
<h3>Advanced</h3>
<ul>
<li><b>Fast scanning</b>: scan all folders, or only the Windows and Program Files
folders, only the Windows folder or only the Program Files folder. Faster, but files
installed elsewhere are missed.</li>
<li><b>Delete mode</b>: <b>Send to Recycle Bin</b> (the safe choice: under Wine the files
go to your desktop's Trash, from where you can restore them), <b>Delete from hard
disk</b>, or <b>Move files to default folder</b> (the data folder).</li>
<li><b>Scan changes in the windows registry</b>, on the <b>Complete Registry</b> or
<b>Only the \Software sections</b>.</li>
<li><b>Scan changes in system files</b>: compare win.ini, system.ini, config.sys and
autoexec.bat.</li>
<li><b>Update Database while finding changes</b>.</li>
</ul>
<h3>Scheduler</h3>
<p>The drive, the days and the tasks of the scheduler program: temporary files and
folders, unused DLL files, and finding changes at startup.</p>
<h3>Setup Detection</h3>
<p>Programs that the scheduler's setup detection always treats as ordinary programs;
select rows and press <b>Remove from list</b> to forget them.</p>

<a name="Command line"></a>
<h2 id="command-line">Command line and scheduled runs</h2>
<ul>
<li><code>korvex \u</code> updates the scan database and ends.</li>
<li><code>korvex \f</code> finds changes and ends.</li>
<li><code>korvex "C:\path\program.kvu"</code> (the path in double quotes, as the file
manager's <b>Uninstall</b> passes it) uninstalls from a saved file and ends.</li>
</ul>
<p>Add <code>--machine DIR</code> to work on the Wine prefix in DIR; otherwise Korvex!
uses <code>$KORVEX_MACHINE</code>, <code>$WINEPREFIX</code>, <code>~/.wine</code> or its
built-in demo machine, in that order.</p>
<p>On Linux, <code>korvex-cli</code> offers the same work without windows:
<code>korvex-cli update</code>, <code>korvex-cli find</code>, <code>korvex-cli uninstall
FILE.kvu</code> (with <code>--dry-run</code> to see what would go) and
<code>korvex-cli info</code>;
<code>korvex-cli --help</code> lists every command.</p>

<a name="Files"></a>
<h2 id="files">Where Korvex! keeps its data</h2>
<p>Settings live in the registry under
<code>HKEY_CURRENT_USER\Software\Korvex!</code>. The scan database lives in the data
folder, the program's folder unless you changed it: one file per drive
(<code>Cdbase.kvd</code> for C:), the registry key lists and copies of the four system
files. Deleting <code>HKEY_CURRENT_USER\Software\Korvex!\General</code> restores every
default at the next start.</p>
</body>
</html>
)html";

}  // namespace

std::string HelpDocument() {
    std::string text;
    for (const char* p = kHelp; *p; ++p) {
        if (*p == '\n') text += '\r';
        text += *p;
    }
    return text;
}

}  // namespace korvex
