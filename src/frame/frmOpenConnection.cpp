#include "frame/frmOpenConnection.h"

#include "platform/LoadedWindows.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

frmOpenConnection::frmOpenConnection(QWidget* parent) : QDialog(parent) {
    LoadedWindows::instance().Register(this);
    setWindowTitle(tr("Open Warehouse Connection"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
