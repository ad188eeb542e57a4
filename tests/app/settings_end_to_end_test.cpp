// The real program with a real settings file under $XDG_DATA_HOME: ended by a signal, given a
// file it cannot read, a device or a pipe in its place, a folder it cannot write, a full disk,
// and files of blank lines.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "brannox_process.h"
#include "sim/sim_process.h"
#include "support/file_bytes.h"

namespace {

// Against a hang only; nothing here waits this long when the program works.
constexpr int kTimeoutMs = 15000;
constexpr char kReadFailure[] = "Settings could not be read\n";
constexpr char kSaveFailure[] = "Settings could not be saved\n";
// The user the program runs as where file permissions must hold (root ignores them).
constexpr char kOtherUser[] = "65534";
constexpr uid_t kOtherUserId = 65534;

// A sanitizer's shadow memory and checks multiply the program's memory and time: the resource
// limits are held against the plain build only, and printed in every build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResourceLimitsApply = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResourceLimitsApply = false;
#else
constexpr bool kResourceLimitsApply = true;
#endif
#else
constexpr bool kResourceLimitsApply = true;
#endif

// A saved configuration: 115200 bit/s, the signature, and the transmit lines.
std::string Settings(const std::vector<std::string>& lines, const std::string& globalTail = "") {
    std::string text =
        "[Global]\r\nB8=0\r\nB9=194\r\nB10=1\r\nB11=0\r\nB436=" + std::to_string(lines.size()) +
        "\r\nB448=98\r\nB449=11\r\nB450=17\r\nB451=25\r\n" + globalTail + "[Transmits]\r\n";
    for (size_t j = 0; j < lines.size(); ++j)
        text += "L" + std::to_string(j) + "=" + lines[j] + "\r\n";
    return text;
}

// A settings folder of the test's own, which another user may enter.
class SettingsFolder {
  public:
    SettingsFolder() {
        QDir().mkpath(folder_.filePath("QNL"));
        ::chmod(folder_.path().toLocal8Bit().constData(), 0755);
    }
    QString dataHome() const { return folder_.path(); }
    std::string path() const { return BrannoxProcess::SettingsPath(dataHome()).toStdString(); }
    std::string folder() const { return folder_.filePath("QNL").toStdString(); }
    QString emptyRegistry() const { return folder_.filePath("no-simulators"); }

  private:
    QTemporaryDir folder_;
};

// How to start the program so that file permissions hold: as another user when the tests run
// as root.
QStringList AsOtherUser() {
    if (::geteuid() != 0) return {};
    return {"setpriv", QString("--reuid=") + kOtherUser, QString("--regid=") + kOtherUser,
            "--clear-groups"};
}

void WaitUntilConnected(const SimProcess& sim) {
    // Auto Detect's identify, then the connection's own.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            int identifies = 0;
            for (const TracedPacket& packet : sim.Trace(TracedPacket::kFromPc))
                identifies += packet.letter == 'Y';
            return identifies >= 2;
        },
        kTimeoutMs));
    QTest::qWait(300);
}

TEST(SettingsEndToEndTest, SigtermSavesTheSessionAndKeepsUntouchedBytesExactly) {
    SimProcess sim({"--count", "0"});
    ASSERT_FALSE(sim.port().empty());
    SettingsFolder settings;
    const std::string eightBit =
        "100,0,0,1,01; 20\xB0"
        "C caf\xE9";
    const std::string utf8 =
        "101,0,0,1,02; 20\xC2\xB0"
        "C";
    const std::string unknown = "[Mine]\r\nx=\xE9\xB0 kept\r\n";
    WriteFileBytes(settings.path(), Settings({eightBit, utf8}) + unknown);
    // What a save killed before its rename leaves, and names that are not of its pattern.
    const std::string folder = settings.folder() + "/";
    for (const char* name : {"BRANNOX.INI.a1B2c3", "BRANNOX.INI.bak", "OTHER.INI.a1B2c3"})
        WriteFileBytes(folder + name, "x");

    BrannoxProcess program(settings.dataHome(), QString::fromStdString(sim.RegistryFolder()));
    WaitUntilConnected(sim);
    ASSERT_TRUE(program.EndBySignal(kTimeoutMs));
    EXPECT_FALSE(program.Crashed());
    EXPECT_EQ(program.ExitCode(), 0);

    // Auto Detect found the port in this session: it is saved, and all else as it was.
    const std::string saved = ReadFileBytes(settings.path());
    EXPECT_NE(saved.find("\r\nPort=" + sim.port() + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nL0=" + eightBit + "\r\nL1=" + utf8 + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find(unknown), std::string::npos);
    EXPECT_FALSE(FileExists(folder + "BRANNOX.INI.a1B2c3"));
    EXPECT_TRUE(FileExists(folder + "BRANNOX.INI.bak"));
    EXPECT_TRUE(FileExists(folder + "OTHER.INI.a1B2c3"));
}

TEST(SettingsEndToEndTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    SettingsFolder settings;
    const std::string original = Settings({"100,0,0,0; mine"});
    WriteFileBytes(settings.path(), original);
    // The user's own file, which the user may write but not read: a save would go through.
    if (::geteuid() == 0) ::chown(settings.path().c_str(), kOtherUserId, kOtherUserId);
    ::chmod(settings.path().c_str(), 0200);
    ::chmod(settings.folder().c_str(), 0777);

    BrannoxProcess program(settings.dataHome(), settings.emptyRegistry(), AsOtherUser());
    ASSERT_TRUE(program.WaitForError(kReadFailure, kTimeoutMs)) << program.StandardError();
    ASSERT_TRUE(program.EndBySignal(kTimeoutMs));
    const std::string said = program.StandardError();
    EXPECT_NE(said.find(kReadFailure + settings.path() + "\nPermission denied\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("will not save over this file"), std::string::npos);
    EXPECT_EQ(said.find(kSaveFailure), std::string::npos);
    EXPECT_EQ(ReadFileBytes(settings.path()), original);
}

TEST(SettingsEndToEndTest, DevicesAndPipesGiveTheDefaultsAtOnceAndStayAsTheyAre) {
    for (const char* target : {"/dev/zero", "/dev/null", "fifo"}) {
        SCOPED_TRACE(target);
        SettingsFolder settings;
        const bool isPipe = std::string(target) == "fifo";
        if (isPipe)
            ASSERT_EQ(::mkfifo(settings.path().c_str(), 0600), 0);
        else
            ASSERT_EQ(::symlink(target, settings.path().c_str()), 0);

        BrannoxProcess program(settings.dataHome(), settings.emptyRegistry());
        ASSERT_TRUE(program.WaitForError(kReadFailure, kTimeoutMs)) << program.StandardError();
        std::printf("%s: the start said it could not read the settings after %lld ms\n", target,
                    static_cast<long long>(program.Elapsed()));
        // Well past what a start takes on a busy machine; a read of /dev/zero or of a pipe
        // never ends.
        EXPECT_LT(program.Elapsed(), 5000);
        EXPECT_NE(program.StandardError().find("Not a regular file"), std::string::npos);
        ASSERT_TRUE(program.EndBySignal(kTimeoutMs));

        const QFileInfo after(QString::fromStdString(settings.path()));
        if (isPipe) {
            struct stat status {};
            ASSERT_EQ(::stat(settings.path().c_str(), &status), 0);
            EXPECT_TRUE(S_ISFIFO(status.st_mode));
        } else {
            EXPECT_EQ(after.symLinkTarget(), target);
        }
    }
}

TEST(SettingsEndToEndTest, AFileBeyondSixteenMegabytesIsNeitherReadNorWrittenOver) {
    constexpr qint64 kMegabyte = 1024 * 1024;
    SettingsFolder settings;
    const std::string blankLines(50 * kMegabyte, '\n');
    WriteFileBytes(settings.path(), blankLines);
    BrannoxProcess program(settings.dataHome(), settings.emptyRegistry());
    ASSERT_TRUE(program.WaitForError(kReadFailure, kTimeoutMs)) << program.StandardError();
    EXPECT_NE(program.StandardError().find("\nLarger than 16 MB\n"), std::string::npos);
    ASSERT_TRUE(program.EndBySignal(kTimeoutMs));
    std::printf("50 MB of blank lines: peak %.1f MB resident\n",
                static_cast<double>(program.PeakResidentBytes()) / kMegabyte);
    if (kResourceLimitsApply) {
        EXPECT_LT(program.PeakResidentBytes(), 50 * kMegabyte);  // nothing of the file was read
    }
    EXPECT_EQ(ReadFileBytes(settings.path()).size(), blankLines.size());
}

// One run with the simulator to connect to, ended by SIGTERM: the program's peak resident memory
// and how long it took to close.
struct RunFigures {
    qint64 peakBytes = 0;
    qint64 closeMs = 0;
};

RunFigures RunWithSettings(const std::string& contents) {
    SimProcess sim({"--count", "0"});
    SettingsFolder settings;
    WriteFileBytes(settings.path(), contents);
    BrannoxProcess program(settings.dataHome(), QString::fromStdString(sim.RegistryFolder()));
    WaitUntilConnected(sim);
    QElapsedTimer closing;
    closing.start();
    EXPECT_TRUE(program.EndBySignal(kTimeoutMs));
    RunFigures figures{program.PeakResidentBytes(), closing.elapsed()};
    EXPECT_EQ(program.StandardError().find(kSaveFailure), std::string::npos);
    EXPECT_GE(ReadFileBytes(settings.path()).size(), contents.size());
    return figures;
}

TEST(SettingsEndToEndTest, BlankLinesCostMemoryAndTimeInProportionToTheFile) {
    constexpr qint64 kMegabyte = 1024 * 1024;
    const RunFigures reference = RunWithSettings(Settings({"100,0,0,0"}));
    const struct {
        const char* name;
        std::string contents;
    } cases[] = {
        {"4 MB of blank lines in [Global]",
         Settings({"100,0,0,0"}, std::string(4 * kMegabyte, '\n'))},
        // Beyond the list's count: the file keeps it, the editor does not show it.
        {"a 10 MB line kept in [Transmits]",
         Settings({"100,0,0,0"}) + "L1=100,0,0,0; " + std::string(10 * kMegabyte, 'n') + "\r\n"},
    };
    std::printf("plain settings file: peak %.1f MB resident, closed in %lld ms\n",
                static_cast<double>(reference.peakBytes) / kMegabyte,
                static_cast<long long>(reference.closeMs));
    for (const auto& [name, contents] : cases) {
        SCOPED_TRACE(name);
        const RunFigures figures = RunWithSettings(contents);
        const auto size = static_cast<qint64>(contents.size());
        std::printf("%s: peak %.1f MB resident, closed in %lld ms\n", name,
                    static_cast<double>(figures.peakBytes) / kMegabyte,
                    static_cast<long long>(figures.closeMs));
        if (!kResourceLimitsApply) continue;
        EXPECT_LT(figures.peakBytes, 4 * size + 50 * kMegabyte);
        EXPECT_LT(figures.closeMs, 1000);
    }
}

// Mounts a small file system on the settings folder, filled to the last byte.
class FullDisk {
  public:
    explicit FullDisk(const std::string& folder) : folder_(folder) {
        mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    void Fill() const {
        QFile filler(QString::fromStdString(folder_ + "/filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
    }

  private:
    std::string folder_;
    bool mounted_ = false;
};

TEST(SettingsEndToEndTest, AFailedSaveAtCloseIsToldWithItsReasonAndKeepsTheOldFile) {
    const std::string original = Settings({"100,0,0,0; mine"});
    {
        SCOPED_TRACE("read-only folder");
        SettingsFolder settings;
        WriteFileBytes(settings.path(), original);
        // The user's own file, in a folder the user may not write.
        if (::geteuid() == 0) ::chown(settings.path().c_str(), kOtherUserId, kOtherUserId);
        ::chmod(settings.path().c_str(), 0644);
        ::chmod(settings.folder().c_str(), 0555);
        BrannoxProcess program(settings.dataHome(), settings.emptyRegistry(), AsOtherUser());
        ASSERT_TRUE(program.EndBySignal(kTimeoutMs));
        EXPECT_NE(
            program.StandardError().find(kSaveFailure + settings.path() + "\nPermission denied\n"),
            std::string::npos)
            << program.StandardError();
        EXPECT_EQ(ReadFileBytes(settings.path()), original);
    }
    {
        SCOPED_TRACE("full disk");
        SettingsFolder settings;
        const FullDisk disk(settings.folder());
        if (!disk.mounted())
            GTEST_SKIP() << "no tmpfs can be mounted here (needs root); the full disk is "
                            "covered by ConfigFileTest.SaveThatCannotCompleteLeavesThePreviousFile";
        WriteFileBytes(settings.path(), original);
        disk.Fill();
        BrannoxProcess program(settings.dataHome(), settings.emptyRegistry());
        ASSERT_TRUE(program.EndBySignal(kTimeoutMs));
        EXPECT_NE(program.StandardError().find(kSaveFailure + settings.path() +
                                               "\nNo space left on device\n"),
                  std::string::npos)
            << program.StandardError();
        EXPECT_EQ(ReadFileBytes(settings.path()), original);
        EXPECT_EQ(QDir(QString::fromStdString(settings.folder())).entryList(QDir::Files).size(),
                  2);  // the settings and the filler, no temporary file
    }
}

}  // namespace
