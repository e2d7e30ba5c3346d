#include "calibration/RunLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quell {

namespace {

const QString kJournalPrefix = QStringLiteral("VRQCalib_journal_");
const QString kJournalSuffix = QStringLiteral(".part");

QString dateTimeText(const QDateTime& t)
{
    return t.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QString timeText(const QDateTime& t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

RunLog::RunLog(QString logFolder) : folder_(std::move(logFolder))
{
}

RunLog::~RunLog() = default;

QString RunLog::timeStampText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QString RunLog::fileName(int boardNumber, const QDateTime& savedAt)
{
    return QStringLiteral("VRQCalib_") + QString::number(boardNumber) + QLatin1Char('_')
           + timeStampText(savedAt) + QStringLiteral(".log");
}

QString RunLog::journalPath() const
{
    return journal_ ? journal_->fileName() : QString();
}

void RunLog::start(const QDateTime& now)
{
    QDir().mkpath(folder_);
    const QStringList recovered = recoverJournals();
    journal_ = std::make_unique<QFile>(
        QDir(folder_).filePath(kJournalPrefix + timeStampText(now) + kJournalSuffix));
    if (!journal_->open(QIODevice::WriteOnly | QIODevice::Append)) {
        // Without a journal the run still logs into memory and saves at the end.
        errorText_ = journal_->errorString();
        journal_.reset();
    }
    append(dateTimeText(now) + QStringLiteral(" - start VRQ kalibrator"));
    // The operator reads the run log, not the folder: without this line a crashed run's lines
    // would sit in a file nobody knows to look for.
    for (const QString& path : recovered) {
        append(timeText(now)
               + QStringLiteral(": an earlier run ended without closing; its lines are in ")
               + QDir::toNativeSeparators(path));
    }
}

QStringList RunLog::recoverJournals()
{
    QStringList recovered;
    const QDir dir(folder_);
    const auto leftovers =
        dir.entryList({kJournalPrefix + QLatin1Char('*') + kJournalSuffix}, QDir::Files);
    for (const QString& name : leftovers) {
        const QString stamp = name.mid(kJournalPrefix.size(),
                                       name.size() - kJournalPrefix.size() - kJournalSuffix.size());
        const QString target =
            dir.filePath(QStringLiteral("VRQCalib_unfinished_") + stamp + QStringLiteral(".log"));
        QFile::remove(target);
        // When the rename fails the lines are still in the journal, so that is the file to name.
        recovered << QFileInfo(QFile::rename(dir.filePath(name), target) ? target
                                                                         : dir.filePath(name))
                         .absoluteFilePath();
    }
    return recovered;
}

void RunLog::append(const QString& line)
{
    lines_ << line;
    if (journal_) {
        journal_->write(line.toUtf8() + "\r\n");
        journal_->flush();
    }
}

bool RunLog::AddLogLine(const QString& line)
{
    if (!active_) {
        return false;
    }
    append(line);
    return true;
}

void RunLog::setActive(bool active, const QDateTime& now)
{
    active_ = active;
    append(timeText(now) + (active ? QStringLiteral(": Log ON") : QStringLiteral(": Log OFF")));
}

bool RunLog::finish(int boardNumber, const QDateTime& now, QStringList lines)
{
    const QString endLine = dateTimeText(now) + QStringLiteral(" - end VRQ kalibrator");
    append(endLine);
    if (lines.isEmpty()) {
        lines = lines_;
    } else {
        lines << endLine;
    }
    if (!QDir().mkpath(folder_)) {
        errorText_ = QStringLiteral("Cannot create the folder ") + folder_;
        return false;
    }
    QSaveFile file(QDir(folder_).filePath(fileName(boardNumber, now)));
    if (!file.open(QIODevice::WriteOnly)) {
        errorText_ = file.errorString();
        return false;
    }
    for (const QString& line : lines) {
        file.write(line.toUtf8() + "\r\n");
    }
    if (!file.commit()) {
        errorText_ = file.errorString();
        return false;
    }
    savedPath_ = file.fileName();
    // The final file holds everything now; the journal was only there for a crash.
    if (journal_) {
        journal_->remove();
        journal_.reset();
    }
    errorText_.clear();
    return true;
}

} // namespace quell
