// The tables of the results window: the attempts as a model of their own,
// which a sort proxy orders by the values behind the texts shown.
#pragma once

#include "QZResultsAnalysis.h"

#include <QAbstractTableModel>

namespace CorvBuilder {

class TAttemptsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn {
        Student,
        Date,
        Duration,
        Points,
        Possible,
        Percent,
        VisitedPercent,
        Finished,
        ColumnCount
    };
    // The value a column sorts by: a number, a time, or the text folded to
    // lower case.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // Shows the attempts of `analysis`, which must outlive the model or be
    // replaced before it goes; null empties the table.
    void SetAnalysis(const Corvella::TResultsAnalysis *analysis);
    const Corvella::TAttempt *Attempt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Corvella::TResultsAnalysis *m_analysis = nullptr;
};

// A duration in seconds as the tables show it: "m:ss", or "h:mm:ss" from an
// hour on.
QString DurationText(qint64 seconds);
// A facility or discrimination to two decimals; empty when there is none.
QString RatioText(const std::optional<double> &value);
// The student as the tables show one: the name, or "(anonymous)".
QString StudentText(const Corvella::TAttempt &attempt);

} // namespace CorvBuilder
