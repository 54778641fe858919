#include "ui/PrintPreview.h"

#include "ui/ErrorTrap.h"
#include "ui/QtPageCanvas.h"
#include "ui/UiSupport.h"

#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace pf {

void PreviewPrintout(QWidget* parent, const std::string& title,
                     const std::function<void(PageCanvas&)>& layout)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
    printer.setDocName(Q(title));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName("FrmPrintPreview");
    preview.setWindowTitle("Druckvorschau - " + Q(title));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* device) {
        RunTrapped([&] {
            QtPageCanvas canvas(*device);
            if (!canvas.Active())
                return;
            layout(canvas);
            canvas.Finish();
        });
    });
    preview.resize(900, 700);
    preview.exec();
}

} // namespace pf
