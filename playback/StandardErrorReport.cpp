#include "playback/StandardErrorReport.h"

#include "playback/ErrorReportText.h"

#include <QMessageBox>

namespace zavrio {

ErrorReporter StandardErrorReport(QWidget* owner) {
    return [owner](const std::string& text) {
        QMessageBox box(QMessageBox::Critical, ErrorReportTitle,
                        QString::fromStdString(ErrorReportText(text)), QMessageBox::Ok, owner);
        box.exec();
    };
}

} // namespace zavrio
