// Builds a new machine in Wine's prefix layout beside its final place, then renames it in.
#include "platform/wine/machine_builder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/atomic_file.h"
#include "platform/wine/host_names.h"
#include "platform/wine/reg_file_text.h"

namespace korvex::wine {

namespace fs = std::filesystem;

namespace {

std::string crlf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// Where the well-known folders of a machine are, as Windows paths below C:\.
struct Layout {
    bool nineX;
    std::string user;
    std::string windows = "windows";
    std::string system() const { return windows + (nineX ? "\\system" : "\\system32"); }
    std::string profile() const { return "users\\" + user; }
    // Where the user's own files go: the 95 family has no profile folders.
    std::string documents() const { return nineX ? std::string("My Documents") : profile(); }
    std::string appData() const { return nineX ? windows + "\\Application Data" : profile() + "\\AppData\\Roaming"; }
    std::string cache() const {
        return nineX ? windows + "\\Temporary Internet Files" : profile() + "\\AppData\\Local\\Microsoft\\Windows\\INetCache";
    }
    std::string cookies() const {
        return nineX ? windows + "\\Cookies" : profile() + "\\AppData\\Local\\Microsoft\\Windows\\INetCookies";
    }
    std::string history() const {
        return nineX ? windows + "\\History" : profile() + "\\AppData\\Local\\Microsoft\\Windows\\History";
    }
    std::string recent() const { return nineX ? windows + "\\Recent" : profile() + "\\AppData\\Roaming\\Microsoft\\Windows\\Recent"; }
    std::string favorites() const { return nineX ? windows + "\\Favorites" : profile() + "\\Favorites"; }
    std::string temp() const { return nineX ? windows + "\\TEMP" : profile() + "\\Temp"; }
};

std::string hostOf(const std::string& root, const std::string& windowsRelative) {
    std::string out = root + "/drive_c/" + windowsRelative;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// Writes the folders, files and registry files of one new machine into a folder that
// nobody else sees yet; placing that folder is CreateMachine's job.
class Builder {
public:
    Builder(std::string root, WindowsVersion version) : root_(std::move(root)), version_(version) {
        layout_.nineX = version == WindowsVersion::Win98;
        layout_.user = MachineUserName();
    }

    bool build(std::string* error) {
        const Layout& l = layout_;
        for (const std::string& folder :
             {l.system(), l.windows + "\\inf", std::string("Program Files\\Common Files\\Demo"),
              std::string("Program Files\\DemoPaint"), l.appData(), l.cache(), l.cookies(), l.history(), l.recent(),
              l.favorites(), l.temp(), l.documents()})
            folder_(folder);
        if (!l.nineX) {
            folder_(l.windows + "\\temp");  // on the 95 family this is the user's TEMP itself
            folder_("Program Files (x86)");
            folder_("ProgramData");
            folder_("users\\Public");
        }
        if (!ok_) return fail(error, "could not create its folders");

        // The drive link Wine reads first; Wine adds z: and the others itself when it runs.
        if (::mkdir((root_ + "/dosdevices").c_str(), 0777) != 0 || ::symlink("../drive_c", (root_ + "/dosdevices/c:").c_str()) != 0)
            return fail(error, "could not create dosdevices/c:");

        files();
        if (!ok_) return fail(error, "could not write its files");
        file_("", "system.reg", machineRegistry().text(now_));
        file_("", "user.reg", userRegistry().text(now_));
        if (!ok_) return fail(error, "could not write its registry files");
        return true;
    }

private:
    bool fail(std::string* error, const char* what) {
        if (error) *error = std::string("Korvex could not make the machine: it ") + what + ".";
        return false;
    }

    void folder_(const std::string& windowsRelative) {
        std::error_code ec;
        fs::create_directories(hostOf(root_, windowsRelative), ec);
        if (ec) ok_ = false;
    }

    // relative "" puts the file in the prefix folder itself, otherwise below drive_c.
    void file_(const std::string& folder, const std::string& name, std::string_view contents) {
        const std::string host = folder == "" && (name == "system.reg" || name == "user.reg")
                                     ? root_ + "/" + name
                                     : hostOf(root_, folder.empty() ? name : folder + "\\" + name);
        if (!ReplaceFileAtomically(host, contents)) ok_ = false;
    }

    void files() {
        const Layout& l = layout_;
        const bool nineX = l.nineX;
        file_(l.windows, "win.ini",
              crlf({"; for 16-bit app support", "[windows]", "load=", "run=", "NullPort=None", "device=",
                    "[Desktop]", "Wallpaper=(None)", "[fonts]", "[extensions]", "txt=notepad.exe ^.txt",
                    "dpt=C:\\Program Files\\DemoPaint\\demopaint.exe ^.dpt", "[mci extensions]", "[files]",
                    "[mail]", "MAPI=1"}));
        file_(l.windows, "system.ini",
              crlf({"; for 16-bit app support", "[boot]", "shell=explorer.exe", "[386Enh]", "woafont=dosapp.fon",
                    "EGA80WOA.FON=EGA80WOA.FON", "[drivers]", "wave=mmdrv.dll", "timer=timer.drv", "[mci]",
                    "[drivers32]"}));
        file_("", "autoexec.bat",
              nineX ? crlf({"@ECHO OFF", "PROMPT $P$G", "SET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND",
                            "SET TEMP=C:\\WINDOWS\\TEMP"})
                    : crlf({"@ECHO OFF", "PROMPT $P$G", "SET PATH=C:\\windows;C:\\windows\\system32"}));
        file_("", "config.sys",
              nineX ? crlf({"DEVICE=C:\\WINDOWS\\HIMEM.SYS", "DOS=HIGH,UMB", "FILES=40", "BUFFERS=20"})
                    : crlf({"FILES=40", "BUFFERS=20"}));
        const std::string exe = "MZ\x90";
        file_("Program Files\\DemoPaint", "demopaint.exe", exe);
        file_("Program Files\\DemoPaint", "dpupdate.exe", exe);
        file_("Program Files\\DemoPaint", "uninstall.exe", exe);
        file_("Program Files\\DemoPaint", "readme.txt", crlf({"DemoPaint 2.1", "A small program of Korvex's demo machine."}));
        file_("Program Files\\Common Files\\Demo", "demoshared.dll", exe);
        file_(l.system(), "demort.dll", exe);
        file_(l.temp(), "~DF3A1.tmp", std::string(2048, '\0'));
        file_(l.temp(), "setup.log", crlf({"Setup started", "Setup finished"}));
        file_(l.cache(), "index.dat", std::string(4096, '\0'));
    }

    std::string windowsPath(const std::string& relative) const { return "C:\\" + relative; }

    RegFileText machineRegistry() const {
        const Layout& l = layout_;
        RegFileText reg("REGISTRY\\Machine");
        const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion";
        const std::string windows = windowsPath(l.windows);
        reg.setString(cv, "CommonFilesDir", "C:\\Program Files\\Common Files");
        reg.setString(cv, "ProgramFilesDir", "C:\\Program Files");
        if (l.nineX) {
            reg.setString(cv, "ProductName", "Microsoft Windows 98");
            reg.setString(cv, "SubVersionNumber", " A ");
            reg.setString(cv, "SystemRoot", windows);
            reg.setString(cv, "Version", "Windows 98");
            reg.setString(cv, "VersionNumber", "4.10.2222");
        } else {
            const bool ten = version_ == WindowsVersion::Win10;
            const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
            reg.setString(nt, "CurrentBuild", ten ? "19045" : "7601");
            reg.setString(nt, "CurrentBuildNumber", ten ? "19045" : "7601");
            if (ten) {
                reg.setDword(nt, "CurrentMajorVersionNumber", 10);
                reg.setDword(nt, "CurrentMinorVersionNumber", 0);
            } else {
                reg.setString(nt, "CSDVersion", "Service Pack 1");
            }
            reg.setString(nt, "CurrentVersion", ten ? "6.3" : "6.1");
            reg.setString(nt, "ProductName", ten ? "Windows 10 Pro" : "Windows 7 Professional");
            reg.setString(nt, "SystemRoot", windows);
            const std::string env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
            reg.setExpandString(env, "ComSpec", "%SystemRoot%\\system32\\cmd.exe");
            reg.setExpandString(env, "PATH", "%SystemRoot%\\system32;%SystemRoot%");
            reg.setExpandString(env, "TEMP", "%SystemRoot%\\TEMP");
            reg.setExpandString(env, "TMP", "%SystemRoot%\\TEMP");
            reg.setString(env, "windir", "%SystemRoot%");
        }
        reg.setString(cv + "\\Run", "DemoPaint Update", "\"C:\\Program Files\\DemoPaint\\dpupdate.exe\" /background");
        const std::string paint = cv + "\\Uninstall\\DemoPaint";
        reg.setString(paint, "DisplayName", "DemoPaint 2.1");
        reg.setString(paint, "DisplayVersion", "2.1");
        reg.setString(paint, "InstallLocation", "C:\\Program Files\\DemoPaint");
        reg.setString(paint, "Publisher", "Korvex demo");
        reg.setString(paint, "UninstallString", "\"C:\\Program Files\\DemoPaint\\uninstall.exe\"");
        const std::string runtime = cv + "\\Uninstall\\{6F1A2E0B-3C4D-4E5F-8A9B-0C1D2E3F4A5B}";
        reg.setString(runtime, "DisplayName", "Demo Runtime Library");
        reg.setString(runtime, "DisplayVersion", "1.0.3");
        reg.setString(runtime, "UninstallString", "MsiExec.exe /X{6F1A2E0B-3C4D-4E5F-8A9B-0C1D2E3F4A5B}");
        const std::string shared = cv + "\\SharedDLLs";
        reg.setDword(shared, "C:\\Program Files\\Common Files\\Demo\\demoshared.dll", 1);
        reg.setDword(shared, windowsPath(l.system()) + "\\demort.dll", 2);
        reg.setDword(shared, windowsPath(l.system()) + "\\demogone.dll", 1);  // a count left by a removed program
        reg.setString("Software\\Classes\\.dpt", "", "DemoPaint.Picture");
        reg.setString("Software\\Classes\\.txt", "", "txtfile");
        reg.setString("Software\\Classes\\DemoPaint.Picture", "", "DemoPaint Picture");
        reg.setString("Software\\Classes\\DemoPaint.Picture\\shell\\open\\command", "",
                      "\"C:\\Program Files\\DemoPaint\\demopaint.exe\" \"%1\"");
        reg.setString("Software\\Classes\\txtfile", "", "Text Document");
        reg.setExpandString("Software\\Classes\\txtfile\\shell\\open\\command", "", "%SystemRoot%\\system32\\notepad.exe %1");
        return reg;
    }

    RegFileText userRegistry() const {
        const Layout& l = layout_;
        RegFileText reg("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
        const char* version = l.nineX ? "win98" : (version_ == WindowsVersion::Win10 ? "win10" : "win7");
        const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
        const std::pair<const char*, std::string> folders[] = {
            {"AppData", l.appData()}, {"Cache", l.cache()},   {"Cookies", l.cookies()},
            {"Favorites", l.favorites()}, {"History", l.history()}, {"Recent", l.recent()},
        };
        const std::string profile = windowsPath(l.profile());
        for (const auto& [name, relative] : folders) {
            const std::string path = windowsPath(relative);
            reg.setString(explorer + "\\Shell Folders", name, path);
            if (l.nineX)
                reg.setString(explorer + "\\User Shell Folders", name, path);
            else
                reg.setExpandString(explorer + "\\User Shell Folders", name, "%USERPROFILE%" + path.substr(profile.size()));
        }
        if (l.nineX) {
            reg.setString("Environment", "TEMP", windowsPath(l.temp()));
            reg.setString("Environment", "TMP", windowsPath(l.temp()));
        } else {
            reg.setExpandString("Environment", "TEMP", "%USERPROFILE%\\Temp");
            reg.setExpandString("Environment", "TMP", "%USERPROFILE%\\Temp");
        }
        reg.setString("Software\\DemoPaint\\Settings", "LastFolder", windowsPath(l.documents()));
        reg.setString("Software\\Wine", "Version", version);
        return reg;
    }

    std::string root_;
    WindowsVersion version_;
    Layout layout_;
    bool ok_ = true;
    std::int64_t now_ = static_cast<std::int64_t>(std::time(nullptr));
};

bool isEmptyFolder(const std::string& dir) {
    std::error_code ec;
    return fs::is_directory(dir, ec) && fs::is_empty(dir, ec) && !ec;
}

}  // namespace

std::string MachineUserName() { return WineUserName(); }

bool IsMachineFolder(const std::string& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir + "/system.reg", ec) &&
           (fs::is_directory(dir + "/dosdevices", ec) || fs::is_directory(dir + "/drive_c", ec));
}

bool CreateMachine(const std::string& dir, WindowsVersion version, std::string* error) {
    if (dir.empty()) {
        if (error) *error = "No folder was given for the new machine.";
        return false;
    }
    if (IsMachineFolder(dir)) return true;
    std::error_code ec;
    if (fs::exists(dir, ec) && !isEmptyFolder(dir)) {
        if (error)
            *error = "The folder " + dir +
                     " is not empty and is not a Wine prefix, so Korvex will not make a machine there. "
                     "Choose an empty or new folder.";
        return false;
    }
    const fs::path target = fs::path(dir).lexically_normal();
    const fs::path parent = target.has_filename() ? target.parent_path() : target.parent_path().parent_path();
    if (!fs::create_directories(parent, ec) && ec) {
        // Name the first folder that could not be made and why, not a temporary name.
        const std::string reason = ec.message();
        fs::path missing = parent;
        while (missing.has_parent_path() && missing.parent_path() != missing &&
               !fs::is_directory(missing.parent_path(), ec))
            missing = missing.parent_path();
        if (error)
            *error = "Korvex could not make the machine: it cannot create the folder " + missing.string() + " (" +
                     reason + ").";
        return false;
    }

    static std::mt19937_64 random{std::random_device{}()};
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".korvex-new-%d-%08llx", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(random() & 0xffffffffu));
    const std::string building = (parent / (target.filename().string() + suffix)).string();
    if (::mkdir(building.c_str(), 0777) != 0) {
        if (error)
            *error = "Korvex could not make the machine: it cannot create a folder in " + parent.string() + " (" +
                     std::strerror(errno) + ").";
        return false;
    }
    Builder builder(building, version);
    bool ok = builder.build(error);
    if (ok && ::rename(building.c_str(), target.c_str()) != 0) {
        ok = IsMachineFolder(dir);  // someone else made it meanwhile: theirs stays
        if (!ok && error) *error = "Korvex could not make the machine in " + dir + " (" + std::strerror(errno) + ").";
    }
    if (fs::exists(building, ec)) fs::remove_all(building, ec);
    if (ok) SyncHostFolder(parent.string());
    return ok;
}

}  // namespace korvex::wine
