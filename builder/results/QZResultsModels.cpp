#include "QZResultsModels.h"

using namespace Corvella;

namespace CorvBuilder {

QString DurationText(qint64 seconds)
{
    seconds = std::max<qint64>(seconds, 0);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const QString secondsText = QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(minutes).arg(secondsText);
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secondsText);
}

QString RatioText(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'f', 2) : QString();
}

QString StudentText(const TAttempt &attempt)
{
    return attempt.Student.isEmpty() ? QStringLiteral("(anonymous)") : attempt.Student;
}

void TAttemptsModel::SetAnalysis(const TResultsAnalysis *analysis)
{
    beginResetModel();
    m_analysis = analysis;
    endResetModel();
}

const TAttempt *TAttemptsModel::Attempt(int row) const
{
    if (!m_analysis || row < 0 || row >= rowCount())
        return nullptr;
    return &m_analysis->Attempts()[size_t(row)];
}

int TAttemptsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_analysis ? 0 : int(m_analysis->Attempts().size());
}

int TAttemptsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TAttemptsModel::data(const QModelIndex &index, int role) const
{
    const TAttempt *attempt = Attempt(index.row());
    if (!attempt)
        return {};
    const auto column = TColumn(index.column());
    if (role == Qt::TextAlignmentRole)
        return column == Student || column == Date || column == Finished
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == SortRole) {
        switch (column) {
        case Student: return StudentText(*attempt).toLower();
        case Date: return attempt->Started;
        case Duration: return attempt->DurationSeconds();
        case Points: return attempt->TotalEarned();
        case Possible: return attempt->TotalPossible();
        case Percent: return attempt->Percent();
        case VisitedPercent: return attempt->VisitedPercent();
        case Finished: return attempt->Finished;
        case ColumnCount: break;
        }
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (column) {
    case Student: return StudentText(*attempt);
    case Date: return attempt->Started.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case Duration: return DurationText(attempt->DurationSeconds());
    case Points: return QString::number(attempt->TotalEarned());
    case Possible: return QString::number(attempt->TotalPossible());
    case Percent: return QStringLiteral("%1 %").arg(attempt->Percent());
    case VisitedPercent: return QStringLiteral("%1 %").arg(attempt->VisitedPercent());
    case Finished: return attempt->Finished ? QStringLiteral("yes") : QStringLiteral("no");
    case ColumnCount: break;
    }
    return {};
}

QVariant TAttemptsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (TColumn(section)) {
    case Student: return QStringLiteral("Student");
    case Date: return QStringLiteral("Date");
    case Duration: return QStringLiteral("Duration");
    case Points: return QStringLiteral("Points");
    case Possible: return QStringLiteral("Possible");
    case Percent: return QStringLiteral("Percent");
    case VisitedPercent: return QStringLiteral("Visited percent");
    case Finished: return QStringLiteral("Finished");
    case ColumnCount: break;
    }
    return {};
}

} // namespace CorvBuilder
