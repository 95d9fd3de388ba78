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
<li>Save the list as a saved uninstall data file (<code>.kvu</code>) with <b>Save
selected</b>. Korvex! also keeps a copy of every search that found something (see
<a href="#Files">Where Korvex! keeps its data</a>).</li>
</ol>
<p>The main window shows under <b>Last scan</b> when the chosen drive was last scanned,
or "This drive has not been scanned." when it has no scan database yet, and below it
the machine (the Wine prefix's folder) it works on.</p>
<p>Close every program running in the Wine prefix (or run <code>wineserver -k</code>)
before you update the database or find changes: while Wine runs programs it keeps the
registry in memory and writes its files only now and then, so Korvex! would miss what
was just installed. Korvex! checks this before it starts and asks you to close the
programs and press <b>Retry</b>, or to press <b>Cancel</b>.</p>
<p>Only the machine's own disks are offered. A drive that is the host's whole file
system (Wine's <b>Z:</b>, which is <code>/</code>) or that holds the prefix itself is
treated as a network drive and never scanned; a drive mapped to another host folder,
such as a games folder as <b>D:</b>, is a hard disk like C:.</p>

<a name="Update database"></a>
<h2 id="update-database">Updating the scan database</h2>
<p><b>Update database</b> (also <b>File &gt; Update database</b>) walks each chosen drive
and writes the list of its folders and files into the data folder, one file per drive.
It also copies <code>win.ini</code>, <code>system.ini</code>, <code>autoexec.bat</code> and
<code>config.sys</code> and records the keys of <code>HKEY_CURRENT_USER</code> and
<code>HKEY_LOCAL_MACHINE</code>. The window shows the folder being read; closing it stops
the run and leaves the previous database as it was. When the data folder cannot be
written, Korvex! says so with the folder and the reason, and the database is not
updated.</p>
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
database afterwards, so the next search shows only what happens from now on. What the
search found is kept in the <b>Found changes</b> folder even if you close the window
without saving.</p>
<p>Closing the window stops the search; nothing is changed on your system.</p>

<a name="Found changes"></a>
<h2 id="found-changes">Reviewing and removing found changes</h2>
<p>The window <b>Changes found</b> has one tab for the hard drive, one for the registry
and one for each system file. Long paths are shortened in the middle; point at one to
see it whole. Select rows with the mouse, <b>Select All</b> or <b>Invert selection</b>,
then press <b>Save selected</b> to write the selection to a saved uninstall data file.
Double-clicking a file opens it. <b>Delete selected</b>, <b>Move selected</b> and
<b>Print selected</b> are not available in this version yet.</p>

<a name="Uninstall"></a>
<h2 id="uninstall">Saved uninstall data files and the Uninstall menu</h2>
<p>A saved uninstall data file (<code>.kvu</code>) lists the files, registry keys and
system-file lines of one installation. The last four saved files appear in the
<b>Uninstall</b> menu. Uninstalling from a saved file, and reviewing one with <b>View
&amp; delete changes</b>, are not available in this version yet.</p>

<a name="System cleaner"></a>
<h2 id="system-cleaner">System clean-up</h2>
<p><b>System clean-up</b>, the search for temporary, backup and log files, is not
available in this version yet.</p>

<a name="Options"></a>
<h2 id="options">Options</h2>
<p>The <b>Options</b> window is not available in this version yet. Korvex! uses its
default settings: every folder of the chosen drives is scanned except the folders whose
contents change all the time (the temporary folder, browser caches, cookies, recent
documents, favourites, application data and history), the whole registry and the four
system files are compared, and <b>Update Database while finding changes</b> is on.</p>

<a name="Command line"></a>
<h2 id="command-line">Command line and scheduled runs</h2>
<ul>
<li><code>korvex \u</code> updates the scan database and ends.</li>
<li><code>korvex \f</code> finds changes and ends.</li>
<li><code>korvex "C:\path\program.kvu"</code> (the path in double quotes, as the file
manager's <b>Uninstall</b> passes it) is meant to uninstall from a saved file; in this
version it opens the main window.</li>
</ul>
<p>Add <code>--machine DIR</code> to work on the Wine prefix in DIR; otherwise Korvex!
uses <code>$KORVEX_MACHINE</code>, <code>$WINEPREFIX</code>, <code>~/.wine</code> or its
built-in demo machine, in that order.</p>
<p>On Linux, <code>korvex-cli</code> offers the same work without windows:
<code>korvex-cli update</code>, <code>korvex-cli find</code> and <code>korvex-cli info</code>;
<code>korvex-cli --help</code> lists every command.</p>

<a name="Files"></a>
<h2 id="files">Where Korvex! keeps its data</h2>
<p>Settings live in the registry under
<code>HKEY_CURRENT_USER\Software\Korvex!</code>. The scan database lives in the data
folder, the program's folder unless you changed it: one file per drive
(<code>Cdbase.kvd</code> for C:), the registry key lists and copies of the four system
files. Every search that finds something is kept there too, in the folder <b>Found
changes</b>: one saved uninstall data file per search, named after its date and time
(<code>2026-12-06 14.05.09.kvu</code>), the newest twenty kept. Deleting
<code>HKEY_CURRENT_USER\Software\Korvex!\General</code> restores every default at the
next start.</p>
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
