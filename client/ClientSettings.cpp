#include "client/ClientSettings.h"

#include "client/IniFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quell {

namespace {

const QString kSocket = QStringLiteral("Socket");
const QString kComm = QStringLiteral("Comm");
const QString kProtocol = QStringLiteral("Protocol");
const QString kAction = QStringLiteral("Action");
const QString kConfig = QStringLiteral("Config");

// Each read first writes a missing key's default, so every start leaves a complete file.
QString readText(IniFile& ini, const QString& section, const QString& key, const QString& def)
{
    if (!ini.valueExists(section, key))
        ini.writeString(section, key, def);
    return ini.readString(section, key, def);
}

int readNumber(IniFile& ini, const QString& section, const QString& key, int def)
{
    if (!ini.valueExists(section, key))
        ini.writeInteger(section, key, def);
    return ini.readInteger(section, key, def);
}

bool readFlag(IniFile& ini, const QString& section, const QString& key, bool def)
{
    if (!ini.valueExists(section, key))
        ini.writeBool(section, key, def);
    return ini.readBool(section, key, def);
}

void setError(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
}

bool saveIni(IniFile& ini, QString* errorText)
{
    if (ini.save())
        return true;
    setError(errorText, ini.errorText());
    return false;
}

} // namespace

QString ClientSettings::settingsFileNameFor(const QStringList& arguments,
                                            const QString& programFile, const QString& startDir)
{
    QString name = arguments.join(u' ');
    if (name.isEmpty()) {
        // The program's own name with its last extension replaced; a dot in a folder name is
        // not an extension.
        const qsizetype slash = programFile.lastIndexOf(u'/');
        const qsizetype dot = programFile.lastIndexOf(u'.');
        name = (dot > slash + 1 ? programFile.left(dot) : programFile) + QStringLiteral(".cli");
    }
    return QDir::cleanPath(QDir(startDir).absoluteFilePath(name));
}

QString ClientSettings::workDirOf(const QString& settingsFileName)
{
    return QFileInfo(settingsFileName).absolutePath();
}

QString ClientSettings::valsDirOf(const QString& workDir)
{
    return QDir(workDir).filePath(QStringLiteral("Vals"));
}

void ClientSettings::readFrom(IniFile& ini)
{
    const ClientSettings d; // the defaults, whatever this object holds now
    host = readText(ini, kSocket, QStringLiteral("Host"), d.host);
    port = readText(ini, kSocket, QStringLiteral("Port"), d.port);
    baud = readText(ini, kComm, QStringLiteral("Baud"), d.baud);
    dataBits = readText(ini, kComm, QStringLiteral("DataBits"), d.dataBits);
    parity = readText(ini, kComm, QStringLiteral("Parity"), d.parity);
    stopBits = readText(ini, kComm, QStringLiteral("StopBits"), d.stopBits);
    timeOut = std::clamp(readNumber(ini, kComm, QStringLiteral("TimeOut"), d.timeOut), kTimeOutMin,
                         kTimeOutMax);
    retrying = std::clamp(readNumber(ini, kComm, QStringLiteral("Retrying"), d.retrying),
                          kRetryingMin, kRetryingMax);
    maxPacket =
        static_cast<std::uint8_t>(readNumber(ini, kComm, QStringLiteral("MaxPacket"), d.maxPacket));
    transmitDelay = readNumber(ini, kComm, QStringLiteral("TransmitDelay"), d.transmitDelay);
    address = std::clamp(readNumber(ini, kProtocol, QStringLiteral("Address"), d.address),
                         kAddressMin, kAddressMax);
    mask = static_cast<std::uint8_t>(readNumber(ini, kProtocol, QStringLiteral("Mask"), d.mask));
    protocolFile = readText(ini, kProtocol, QStringLiteral("File"), d.protocolFile);
    enableMc = readFlag(ini, kProtocol, QStringLiteral("EnableMC"), d.enableMc);
    mcAddress = std::clamp(readNumber(ini, kProtocol, QStringLiteral("MCAddress"), d.mcAddress),
                           kAddressMin, kAddressMax);
    mcMask =
        static_cast<std::uint8_t>(readNumber(ini, kProtocol, QStringLiteral("MCMask"), d.mcMask));
    start = readFlag(ini, kAction, QStringLiteral("Start"), d.start);
    leftPos = readNumber(ini, kConfig, QStringLiteral("LeftPos"), d.leftPos);
    topPos = readNumber(ini, kConfig, QStringLiteral("TopPos"), d.topPos);
    colWidth = readNumber(ini, kConfig, QStringLiteral("ColWidth"), d.colWidth);
    height = readNumber(ini, kConfig, QStringLiteral("Height"), d.height);
    width = readNumber(ini, kConfig, QStringLiteral("Width"), d.width);
    viewPort = readFlag(ini, kConfig, QStringLiteral("ViewPort"), d.viewPort);
    viewDataBits = readFlag(ini, kConfig, QStringLiteral("ViewDataBits"), d.viewDataBits);
    viewParity = readFlag(ini, kConfig, QStringLiteral("ViewParity"), d.viewParity);
    viewStopBits = readFlag(ini, kConfig, QStringLiteral("ViewStopBits"), d.viewStopBits);
    viewTimeOut = readFlag(ini, kConfig, QStringLiteral("ViewTimeOut"), d.viewTimeOut);
    viewRetrying = readFlag(ini, kConfig, QStringLiteral("ViewRetrying"), d.viewRetrying);
    viewAddress = readFlag(ini, kConfig, QStringLiteral("ViewAddress"), d.viewAddress);
    caption = readText(ini, kConfig, QStringLiteral("Caption"), d.caption);
}

void ClientSettings::writeClosingState(IniFile& ini) const
{
    ini.writeString(kSocket, QStringLiteral("Host"), host);
    ini.writeString(kSocket, QStringLiteral("Port"), port);
    ini.writeString(kComm, QStringLiteral("Baud"), baud);
    ini.writeString(kComm, QStringLiteral("DataBits"), dataBits);
    ini.writeString(kComm, QStringLiteral("Parity"), parity);
    ini.writeString(kComm, QStringLiteral("StopBits"), stopBits);
    ini.writeInteger(kComm, QStringLiteral("TimeOut"), timeOut);
    ini.writeInteger(kComm, QStringLiteral("Retrying"), retrying);
    ini.writeInteger(kProtocol, QStringLiteral("Address"), address);
    ini.writeBool(kProtocol, QStringLiteral("EnableMC"), enableMc);
    ini.writeInteger(kProtocol, QStringLiteral("MCAddress"), mcAddress);
    ini.writeBool(kAction, QStringLiteral("Start"), start);
    ini.writeBool(kConfig, QStringLiteral("ViewConfig"), viewConfig);
    ini.writeInteger(kConfig, QStringLiteral("LeftPos"), leftPos);
    ini.writeInteger(kConfig, QStringLiteral("TopPos"), topPos);
    ini.writeInteger(kConfig, QStringLiteral("Height"), height);
    ini.writeInteger(kConfig, QStringLiteral("ColWidth"), colWidth);
    ini.writeInteger(kConfig, QStringLiteral("Width"), width);
}

bool ClientSettings::load(const QString& settingsFileName, QString* errorText)
{
    IniFile ini(settingsFileName);
    readFrom(ini);
    return saveIni(ini, errorText);
}

bool ClientSettings::saveClosingState(const QString& settingsFileName, QString* errorText) const
{
    IniFile ini(settingsFileName);
    writeClosingState(ini);
    return saveIni(ini, errorText);
}

bool ClientSettings::storeProtocolFile(const QString& settingsFileName, const QString& protocolFile,
                                       QString* errorText)
{
    IniFile ini(settingsFileName);
    ini.writeString(kProtocol, QStringLiteral("File"), protocolFile);
    return saveIni(ini, errorText);
}

} // namespace quell
