// Pictures of the program information sheet, the welcome view and the about
// box, saved for people to look at: <build>/screenshots/sheet/.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>

#include "../../notes/listing.h"
#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "ui/sheet/about_view.h"
#include "ui/sheet/program_info_view.h"
#include "ui/sheet/welcome_view.h"

namespace {

using namespace tw;

QString folder;
int failures = 0;

void save(QWidget& widget, const QString& name) {
    widget.show();
    QTest::qWait(20);
    const QString path = folder + "/" + name + ".png";
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++failures;
    }
    widget.hide();
}

void sheetFor(int model, int variant, std::vector<ProgramLine> lines, ProgramDocument doc, const QString& name) {
    MemoryPlatform platform;
    AppModel app(platform);
    EngineSnapshot display;
    display.model = model;
    display.variant = variant;
    app.setSnapshot(display);
    app.setDocLines(std::move(lines));
    app.setProgramDoc(std::move(doc));
    app.setProgramDocURL(QString("/home/user/Programs/loan.%1c.orvanedoc").arg(model));
    ProgramInfoView sheet(app);
    save(sheet, name);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    folder = QString::fromLocal8Bit(qgetenv("TW_BINARY_DIR"));
    if (folder.isEmpty()) folder = QDir::currentPath();
    folder += "/screenshots/sheet";
    QDir().mkpath(folder);

    ProgramDocument loan;
    loan.title = "Loan payment";
    loan.author = "Ada";
    loan.description = "## Usage\n- Store the rate in R1 and press A.";
    loan.labels["A"] = "entry point";
    loan.registers["R1"] = {"rate", "yearly interest in percent"};
    loan.comments.push_back({.step = 2, .text = "keep the rate", .keys = "44 1", .before = {}, .after = {}});
    loan.comments.push_back({.step = 9, .text = "old loop", .keys = "22 2", .before = {}, .after = {},
                             .orphaned = true});
    sheetFor(15, 150, testing::listing({"LBL A", "STO 1", "SF 8", "GSB 3", "RCL 1", "GTO I", "RTN"}), loan,
             "program-info-15c");
    ProgramDocument cash;
    cash.title = "Cash flow";
    sheetFor(12, 120, testing::listing({"STO 1", "GTO 05", "STO PV", "RCL FV", "n", "GTO 05"}), cash,
             "program-info-12c");

    MemoryPlatform platform;
    AppModel app(platform);
    {
        WelcomeView welcome(app);
        welcome.resize(900, 560);
        save(welcome, "welcome");
        app.setIsStarting(true);
        save(welcome, "welcome-starting");
        app.setIsStarting(false);
    }
    {
        AboutView about(app);
        save(about, "about-no-firmware");
        app.setFirmwareName(QString("HP15C-CE.bin"));
        app.setFirmwareInfo("HP-15C CE, version 1.0");
        save(about, "about");
        // A name without a space wraps inside the box.
        app.setFirmwareName("hp15c-ce-" + QStringLiteral("firmware-backup-").repeated(14) + "before-update.bin");
        AboutView opened(app);
        save(opened, "about-long-name");
    }
    std::printf("screenshots in %s\n", qPrintable(folder));
    return failures ? 1 : 0;
}
