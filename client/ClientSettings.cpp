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
    return QDir::cleanPath(
        QDir(startDir).absoluteFilePath(givenSettingsName(arguments, programFile)));
}

QString ClientSettings::givenSettingsName(const QStringList& arguments, const QString& programFile)
{
    QString name = arguments.join(u' ');
    if (name.isEmpty()) {
        // The program's own name with its last extension replaced; a dot in a folder name is
        // not an extension.
        const qsizetype slash = programFile.lastIndexOf(u'/');
        const qsizetype dot = programFile.lastIndexOf(u'.');
        name = (dot > slash + 1 ? programFile.left(dot) : programFile) + QStringLiteral(".cli");
    }
    return name;
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
    readLinkKeys(ini, d);
    readDeviceKeys(ini, d);
    readMcKeys(ini, d);
    readStartAndWindowKeys(ini, d);
}

void ClientSettings::readLinkKeys(IniFile& ini, const ClientSettings& d)
{
    host = ini.readOrCreateString(kSocket, QStringLiteral("Host"), d.host);
    port = ini.readOrCreateString(kSocket, QStringLiteral("Port"), d.port);
    baud = ini.readOrCreateString(kComm, QStringLiteral("Baud"), d.baud);
    dataBits = ini.readOrCreateString(kComm, QStringLiteral("DataBits"), d.dataBits);
    parity = ini.readOrCreateString(kComm, QStringLiteral("Parity"), d.parity);
    stopBits = ini.readOrCreateString(kComm, QStringLiteral("StopBits"), d.stopBits);
    timeOut = std::clamp(ini.readOrCreateInteger(kComm, QStringLiteral("TimeOut"), d.timeOut),
                         kTimeOutMin, kTimeOutMax);
    retrying = std::clamp(ini.readOrCreateInteger(kComm, QStringLiteral("Retrying"), d.retrying),
                          kRetryingMin, kRetryingMax);
    maxPacket = static_cast<std::uint8_t>(
        ini.readOrCreateInteger(kComm, QStringLiteral("MaxPacket"), d.maxPacket));
    transmitDelay =
        ini.readOrCreateInteger(kComm, QStringLiteral("TransmitDelay"), d.transmitDelay);
}

void ClientSettings::readDeviceKeys(IniFile& ini, const ClientSettings& d)
{
    address = std::clamp(ini.readOrCreateInteger(kProtocol, QStringLiteral("Address"), d.address),
                         kAddressMin, kAddressMax);
    mask = static_cast<std::uint8_t>(
        ini.readOrCreateInteger(kProtocol, QStringLiteral("Mask"), d.mask));
    protocolFile = ini.readOrCreateString(kProtocol, QStringLiteral("File"), d.protocolFile);
}

void ClientSettings::readMcKeys(IniFile& ini, const ClientSettings& d)
{
    enableMc = ini.readOrCreateBool(kProtocol, QStringLiteral("EnableMC"), d.enableMc);
    mcAddress =
        std::clamp(ini.readOrCreateInteger(kProtocol, QStringLiteral("MCAddress"), d.mcAddress),
                   kAddressMin, kAddressMax);
    mcMask = static_cast<std::uint8_t>(
        ini.readOrCreateInteger(kProtocol, QStringLiteral("MCMask"), d.mcMask));
}

void ClientSettings::readStartAndWindowKeys(IniFile& ini, const ClientSettings& d)
{
    start = ini.readOrCreateBool(kAction, QStringLiteral("Start"), d.start);
    leftPos = ini.readOrCreateInteger(kConfig, QStringLiteral("LeftPos"), d.leftPos);
    topPos = ini.readOrCreateInteger(kConfig, QStringLiteral("TopPos"), d.topPos);
    colWidthStored = ini.valueExists(kConfig, QStringLiteral("ColWidth"));
    colWidth = ini.readOrCreateInteger(kConfig, QStringLiteral("ColWidth"), d.colWidth);
    height = ini.readOrCreateInteger(kConfig, QStringLiteral("Height"), d.height);
    width = ini.readOrCreateInteger(kConfig, QStringLiteral("Width"), d.width);
    viewPort = ini.readOrCreateBool(kConfig, QStringLiteral("ViewPort"), d.viewPort);
    viewDataBits = ini.readOrCreateBool(kConfig, QStringLiteral("ViewDataBits"), d.viewDataBits);
    viewParity = ini.readOrCreateBool(kConfig, QStringLiteral("ViewParity"), d.viewParity);
    viewStopBits = ini.readOrCreateBool(kConfig, QStringLiteral("ViewStopBits"), d.viewStopBits);
    viewTimeOut = ini.readOrCreateBool(kConfig, QStringLiteral("ViewTimeOut"), d.viewTimeOut);
    viewRetrying = ini.readOrCreateBool(kConfig, QStringLiteral("ViewRetrying"), d.viewRetrying);
    viewAddress = ini.readOrCreateBool(kConfig, QStringLiteral("ViewAddress"), d.viewAddress);
    caption = ini.readOrCreateString(kConfig, QStringLiteral("Caption"), d.caption);
}

void ClientSettings::writeClosingState(IniFile& ini) const
{
    writeLinkKeys(ini);
    writeAddressKey(ini);
    writeMcKeys(ini);
    writeStartAndWindowKeys(ini);
}

void ClientSettings::writeLinkKeys(IniFile& ini) const
{
    ini.writeString(kSocket, QStringLiteral("Host"), host);
    ini.writeString(kSocket, QStringLiteral("Port"), port);
    ini.writeString(kComm, QStringLiteral("Baud"), baud);
    ini.writeString(kComm, QStringLiteral("DataBits"), dataBits);
    ini.writeString(kComm, QStringLiteral("Parity"), parity);
    ini.writeString(kComm, QStringLiteral("StopBits"), stopBits);
    ini.writeInteger(kComm, QStringLiteral("TimeOut"), timeOut);
    ini.writeInteger(kComm, QStringLiteral("Retrying"), retrying);
}

void ClientSettings::writeAddressKey(IniFile& ini) const
{
    ini.writeInteger(kProtocol, QStringLiteral("Address"), address);
}

void ClientSettings::writeMcKeys(IniFile& ini) const
{
    ini.writeBool(kProtocol, QStringLiteral("EnableMC"), enableMc);
    ini.writeInteger(kProtocol, QStringLiteral("MCAddress"), mcAddress);
}

void ClientSettings::writeStartAndWindowKeys(IniFile& ini) const
{
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
