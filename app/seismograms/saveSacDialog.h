#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

// Asks where "Save as SAC…" writes the seismograms, and whether as shown (processed) or as
// read.
class saveSacDialog : public QDialog {
    Q_OBJECT
public:
    explicit saveSacDialog(const QString& folder, QWidget* parent = nullptr);

    QString folder() const;
    bool processed() const;
    void setProcessed(bool processed);

    // The folder field and the two choices, for the tests and for accessibility tools.
    QLineEdit* folderField() const { return folder_; }
    QRadioButton* processedButton() const { return processed_; }
    QRadioButton* asReadButton() const { return asRead_; }

private:
    void chooseFolder();

    QLineEdit* folder_;
    QRadioButton* processed_;
    QRadioButton* asRead_;
};
