// The frame every record property dialog shares: Load keeps a copy of the
// record and shows it, Store gives the kept record back with the controls'
// values written into it, so every field the dialog does not show passes
// through byte for byte. A dialog maps only its own fields, in ShowRecord and
// TakeRecord.
#pragma once

#include "QZDialogParts.h"

#include <QLineEdit>
#include <QString>

#include <optional>
#include <type_traits>

namespace CorvBuilder {

// Scored dialogs (the questions) also edit the record's Points, a whole
// number typed in a field: their Store gives nothing, after an error box,
// while the field holds none, and OK then keeps the dialog open.
template<typename Record, bool Scored = false> class TRecordDialog : public TQZPropertyDialog
{
public:
    using TStored = std::conditional_t<Scored, std::optional<Record>, Record>;

    // Keeps a copy of a record (pixels) and sets every control from it.
    void Load(const Record &record)
    {
        m_record = record;
        if constexpr (Scored)
            m_points->setText(QString::number(qint32(record.Points)));
        ShowRecord(m_record);
    }

    // The kept record with the controls' values, kept from then on. A scored
    // dialog whose points text is not a whole number shows the error and
    // gives nothing; the kept record then stays as it was.
    TStored Store()
    {
        Record record = m_record;
        if constexpr (Scored) {
            const auto points = ReadWholeNumber(m_points->text());
            if (!points)
                return std::nullopt;
            TakeRecord(record);
            record.Points = *points;
        } else {
            TakeRecord(record);
        }
        m_record = record;
        return m_record;
    }

    void accept() override
    {
        if constexpr (Scored) {
            if (!ReadWholeNumber(m_points->text())) {
                m_points->setFocus();
                m_points->selectAll();
                return;
            }
        }
        TQZPropertyDialog::accept();
    }

protected:
    // `initial` is what the dialog keeps until the first Load.
    TRecordDialog(QWidget *parent, const QString &caption, int helpContext, const Record &initial)
        : TQZPropertyDialog(parent, caption, helpContext)
        , m_record(initial)
    {
    }

    // Sets the controls from the record Load keeps.
    virtual void ShowRecord(const Record &record) = 0;
    // Writes the controls' values into `record`, a copy of the kept record;
    // a field written only when its control changed keeps its bytes.
    virtual void TakeRecord(Record &record) = 0;

    // The kept record; a dialog that shows its edits as they are made (the
    // choices preview) works on it between Load and Store.
    Record &Kept() { return m_record; }
    const Record &Kept() const { return m_record; }

    // The points field of a scored dialog, made at this point of the
    // dialog's construction (which places it in the tab order): "1" until
    // the first Load.
    QLineEdit *MakePointsEdit()
    {
        static_assert(Scored, "only a scored dialog has a points field");
        m_points = new QLineEdit(QStringLiteral("1"), this);
        m_points->setObjectName(QStringLiteral("PointsEdit"));
        m_points->setAccessibleName(QStringLiteral("Points"));
        m_points->setMaximumWidth(80);
        return m_points;
    }
    QLineEdit *Points() const { return m_points; }

private:
    Record m_record;
    QLineEdit *m_points = nullptr;
};

} // namespace CorvBuilder
