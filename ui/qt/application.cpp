#include "ui/qt/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace infotest::qt {
namespace {

// Fusion with the Windows gap of 4 px between an option button's circle and
// its caption (Fusion's 6 px would clip the longest answer by a pixel).
class FormStyle : public QProxyStyle {
public:
    FormStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_RadioButtonLabelSpacing) return 4;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

bool SetUpApplication(QApplication& app) {
#ifdef INFOTEST_DESKTOP_ID
    // Lets the desktop match the window with the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(INFOTEST_DESKTOP_ID));
#endif
    auto* style = new FormStyle;
    style->setParent(&app);  // owned by the application, as setStyle would
    QApplication::setStyle(style);
    QApplication::setPalette(QApplication::style()->standardPalette());

    // Debian ships qtbase_ru; a Windows deployment may carry only the merged
    // qt_ru.
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& name : {QStringLiteral("qtbase_ru"), QStringLiteral("qt_ru")}) {
        if (translator->load(name, folder)) {
            QApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace infotest::qt
