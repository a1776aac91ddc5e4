#include "frame/frmNewConnection.h"

#include "platform/LoadedWindows.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

frmNewConnection::frmNewConnection(QWidget* parent) : QDialog(parent) {
    LoadedWindows::instance().Register(this);
    setWindowTitle(tr("New Warehouse Connection"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
