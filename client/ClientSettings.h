#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quell {

class IniFile;

// The main window's part of the client settings file (".cli"): where the file lives, every key the
// window reads at start with its default, and what it writes back when it closes. A plain record:
// the window copies the values into its controls after readFrom() and back before
// writeClosingState(). The measurement view and the database window keep sections of their own in
// the same file. Not thread-safe; the GUI thread owns it.
class ClientSettings {
public:
    // Ranges of the settings-tab up-downs; values read from the file are clamped into them.
    static constexpr int kTimeOutMin = 1;
    static constexpr int kTimeOutMax = 1000;
    static constexpr int kRetryingMin = 1;
    static constexpr int kRetryingMax = 10;
    static constexpr int kAddressMin = 1;
    static constexpr int kAddressMax = 255;

    // [Socket] Host: text of LEditHost.
    QString host = QStringLiteral("localhost");
    // [Socket] Port: text of LEditPort (converted to a number only when connecting).
    QString port = QStringLiteral("9099");
    // [Comm] Baud: text of ComboBoxBaud.
    QString baud = QStringLiteral("57600");
    // [Comm] DataBits: text of ComboBoxDataB.
    QString dataBits = QStringLiteral("8");
    // [Comm] Parity: text of ComboBoxParity.
    QString parity = QStringLiteral("Even");
    // [Comm] StopBits: text of ComboBoxStopB.
    QString stopBits = QStringLiteral("1");
    // [Comm] TimeOut: position of UpDownTOut, kTimeOutMin..kTimeOutMax.
    int timeOut = 80;
    // [Comm] Retrying: position of UpDownRet, kRetryingMin..kRetryingMax.
    int retrying = 3;
    // Text of LEditRet, which "RET=" carries as it stands (the server's echo or what the user
    // typed may differ from the up-down's position); not a key of its own. Empty: the position.
    QString retryingText;
    // [Comm] MaxPacket: most poll blocks per request line; the file's number cut to 8 bits.
    std::uint8_t maxPacket = 1;
    // [Comm] TransmitDelay: pause in ms after each device line; 0 or less means none.
    std::int32_t transmitDelay = 10;
    // [Protocol] Address: position of UpDownAddr (device address), kAddressMin..kAddressMax.
    int address = 1;
    // [Protocol] Mask: address mask for the frame builders, cut to 8 bits.
    std::uint8_t mask = 160;
    // [Protocol] File: the protocol description file in use (empty on a fresh installation).
    QString protocolFile;
    // [Protocol] EnableMC: checked state of CBViaMC.
    bool enableMc = false;
    // [Protocol] MCAddress: position of UpDownMCAddr, kAddressMin..kAddressMax.
    int mcAddress = 1;
    // [Protocol] MCMask: MC address mask for the frame builders, cut to 8 bits.
    std::uint8_t mcMask = 64;
    // [Action] Start: start the link after start-up; at close, whether it was started.
    bool start = false;
    // [Config] LeftPos, TopPos, Width, Height: main window geometry.
    int leftPos = 100;
    int topPos = 100;
    int width = 235;
    int height = 300;
    // [Config] ColWidth: width of the name column of ValueListEditor.
    int colWidth = 100;
    // Whether the file held ColWidth before this load (a first start has none).
    bool colWidthStored = true;
    // [Config] View*: whether the matching control is enabled (false locks it, still visible).
    bool viewPort = true;
    bool viewDataBits = true;
    bool viewParity = true;
    bool viewStopBits = true;
    bool viewTimeOut = true;
    bool viewRetrying = true;
    bool viewAddress = true;
    // [Config] Caption: the window caption before "[section]".
    QString caption = QStringLiteral("Client");
    // [Config] ViewConfig: the settings group is always shown, so this is written as 1.
    bool viewConfig = true;

    // The absolute settings file name: the arguments (program name excluded) joined with one
    // blank, since the shell splits a path with blanks; without arguments the program file with
    // its extension replaced by ".cli". A relative name is taken against startDir.
    static QString settingsFileNameFor(const QStringList& arguments, const QString& programFile,
                                       const QString& startDir);
    // The settings file name as the command line gives it, before it is made absolute: the
    // arguments joined with one blank, or the program file with its extension replaced by ".cli".
    static QString givenSettingsName(const QStringList& arguments, const QString& programFile);
    // The folder of the settings file, which the program makes its working directory.
    static QString workDirOf(const QString& settingsFileName);
    // The folder "Vals" in workDir, where value sets are kept.
    static QString valsDirOf(const QString& workDir);

    // Reads every key in the fixed start-up order, first writing each missing key's default into
    // ini, so that saving ini leaves a complete file. A value that is not a number where a number
    // is expected reads as the default (and is left in the file as it is).
    void readFrom(IniFile& ini);
    // Writes what the window writes when it closes, in that order (host and serial settings,
    // addresses, Start, window geometry, ViewConfig). Keys that only the
    // file's editor changes (MaxPacket, masks, View*, Caption) and [Protocol] File are left alone.
    void writeClosingState(IniFile& ini) const;

    // The groups of keys readFrom() reads, in its order, each missing key written with its value
    // in defaults; a program with other defaults or fewer keys (the compact configurator) reads
    // the groups it has. [Socket] Host, Port; [Comm] Baud .. TransmitDelay.
    void readLinkKeys(IniFile& ini, const ClientSettings& defaults);
    // [Protocol] Address, Mask, File.
    void readDeviceKeys(IniFile& ini, const ClientSettings& defaults);
    // [Protocol] EnableMC, MCAddress, MCMask.
    void readMcKeys(IniFile& ini, const ClientSettings& defaults);
    // [Action] Start; [Config] LeftPos .. Caption.
    void readStartAndWindowKeys(IniFile& ini, const ClientSettings& defaults);
    // The groups writeClosingState() writes, in its order: [Socket] and [Comm] (texts, TimeOut,
    // Retrying); [Protocol] Address; [Protocol] EnableMC, MCAddress; [Action] Start and
    // [Config] ViewConfig, LeftPos, TopPos, Height, ColWidth, Width.
    void writeLinkKeys(IniFile& ini) const;
    void writeAddressKey(IniFile& ini) const;
    void writeMcKeys(IniFile& ini) const;
    void writeStartAndWindowKeys(IniFile& ini) const;

    // readFrom() on the file, then saves it. On a failed read or save the values read so far are
    // kept and false is returned with the reason, naming the file, in errorText.
    bool load(const QString& settingsFileName, QString* errorText = nullptr);
    // writeClosingState() into the file and saves it; false with the reason on failure.
    bool saveClosingState(const QString& settingsFileName, QString* errorText = nullptr) const;
    // Writes [Protocol] File after the user picked a description file; false on failure.
    static bool storeProtocolFile(const QString& settingsFileName, const QString& protocolFile,
                                  QString* errorText = nullptr);
};

} // namespace quell
