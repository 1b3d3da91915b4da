#include "saveSacDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

saveSacDialog::saveSacDialog(const QString& folder, QWidget* parent)
    : QDialog(parent)
    , folder_(new QLineEdit(folder))
    , processed_(new QRadioButton(tr("As shown (processed)")))
    , asRead_(new QRadioButton(tr("As read"))) {
    setWindowTitle(tr("Save as SAC"));
    auto* choose = new QPushButton(tr("Choose…"));
    connect(choose, &QPushButton::clicked, this, &saveSacDialog::chooseFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(choose);
    auto* samplesColumn = new QVBoxLayout;
    samplesColumn->addWidget(processed_);
    samplesColumn->addWidget(asRead_);
    processed_->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(tr("Folder"), folderRow);
    form->addRow(tr("Samples"), samplesColumn);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Nothing to save into until a folder is named.
    const auto enableSave = [this, buttons] {
        buttons->button(QDialogButtonBox::Save)->setEnabled(!folder_->text().trimmed().isEmpty());
    };
    connect(folder_, &QLineEdit::textChanged, this, enableSave);
    enableSave();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString saveSacDialog::folder() const {
    return folder_->text().trimmed();
}

bool saveSacDialog::processed() const {
    return processed_->isChecked();
}

void saveSacDialog::setProcessed(bool processed) {
    (processed ? processed_ : asRead_)->setChecked(true);
}

void saveSacDialog::chooseFolder() {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("Save as SAC"), folder_->text());
    if (!chosen.isEmpty())
        folder_->setText(chosen);
}
