// The property dialog of the picture, "Graphics - Properties": the stretch
// switch and a new picture file chosen in a picture-open dialog with a
// preview.
#pragma once

#include "QZPicture.h"
#include "QZRecordDialog.h"

#include <QFileDialog>
#include <QStringList>

class QCheckBox;
class QPushButton;

namespace CorvBuilder {

// The picture-open dialog: a file dialog (Qt's own, so that it can carry the
// preview) listing bitmaps, icons and metafiles, with a preview of the
// selected file. Name filters match names in either case.
class TPictureOpenDialog : public QFileDialog
{
    Q_OBJECT

public:
    explicit TPictureOpenDialog(QWidget *parent = nullptr);

    // The selected file; empty when none is.
    QString PictureFile() const;
    // Shows `fileName` in the preview, or nothing when it is no picture.
    void ShowPreview(const QString &fileName);
    QLabel *Preview() const { return m_preview; }
    // The picture the preview shows (null when none).
    const TQZPicture &PreviewPicture() const { return m_picture; }

private:
    QLabel *m_preview;
    QString m_previewFile;
    TQZPicture m_picture;
};

class TSlikaLastnosti : public TRecordDialog<TSlikaRecord>
{
    Q_OBJECT

public:
    explicit TSlikaLastnosti(QWidget *parent = nullptr);

    // The picture file chosen since Load; empty when none was. Store takes
    // only the stretch switch: the picture fields stay as loaded (the picture
    // itself is the object's, loaded from ChosenFile()).
    QString ChosenFile() const { return m_chosenFile; }

    QCheckBox *StretchBox() const { return m_stretch; }
    QPushButton *OpenButton() const { return m_openButton; }
    // The name of the chosen file, as the dialog shows it.
    QLabel *FileLabel() const { return m_fileLabel; }
    TPictureOpenDialog *OpenDialog() const { return m_openDialog; }

private:
    void ShowRecord(const TSlikaRecord &record) override;
    void TakeRecord(TSlikaRecord &record) override;
    void OpenClick();

    QString m_chosenFile;
    QCheckBox *m_stretch;
    QPushButton *m_openButton;
    QLabel *m_fileLabel;
    TPictureOpenDialog *m_openDialog;
};

} // namespace CorvBuilder
