#include "app/app_model.h"

#include "platform/platform.h"
#include "runtime/face/photo_face.h"

#include <QLocale>
#include <QTimeZone>

namespace tw {

namespace {

PDFPaper paperFromSetting(const QVariant& v) {
    return v.toString() == QLatin1String("letter") ? PDFPaper::letter : PDFPaper::a4;
}

SkinChoice skinFromSetting(const QVariant& v) {
    if (!v.isValid()) return SkinChoice::automatic;
    return skinChoice(v.toString()).value_or(SkinChoice::automatic);
}

FaceStyle faceStyleFromSetting(const QVariant& v) {
    return v.toString() == QLatin1String("drawn") ? FaceStyle::drawn : FaceStyle::photo;
}

} // namespace

AppModel::AppModel(Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform), main_(platform.mainExecutor()),
      docFontStore_(platform, QStringLiteral("docFontFolderBookmark"), QStringLiteral("docFontKeysBookmark"),
                    QStringLiteral("docFontDisplayBookmark")),
      firmwareStore_(platform, QStringLiteral("firmwareBookmark"), QStringLiteral("firmwareName")),
      stateStore_(platform) {
    // Reading a setting never writes it back.
    paper_ = paperFromSetting(platform_.setting(QLatin1String(paperKey)));
    showInspector_ = platform_.setting(QLatin1String(showInspectorKey)).toBool();
    skin_ = skinFromSetting(platform_.setting(QLatin1String(skinKey)));
    faceStyle_ = faceStyleFromSetting(platform_.setting(QLatin1String(faceStyleKey)));
}


void AppModel::setProgramDoc(ProgramDocument v) {
    const bool changed = !(v == programDoc_);
    programDoc_ = std::move(v);
    emit programDocChanged();
    if (changed) rememberProgramDoc();
}

void AppModel::changeProgramDocFields(const std::function<void(ProgramDocument&)>& change) {
    change(programDoc_);
    emit programDocChanged();
    rememberProgramDocFields();
}

void AppModel::setPaper(PDFPaper v) {
    paper_ = v;
    platform_.setSetting(QLatin1String(paperKey),
                         v == PDFPaper::letter ? QStringLiteral("letter") : QStringLiteral("a4"));
    emit paperChanged();
}

void AppModel::setShowInspector(bool v) {
    showInspector_ = v;
    platform_.setSetting(QLatin1String(showInspectorKey), v);
    if (engine_) sendToEngine(CalculatorEngine::Command::SetInspector{v});
    emit showInspectorChanged();
}

void AppModel::setTurbo(bool v) {
    turbo_ = v;
    if (engine_) sendToEngine(CalculatorEngine::Command::SetTurbo{v});
    emit turboChanged();
}

void AppModel::setSkin(SkinChoice v) {
    skin_ = v;
    platform_.setSetting(QLatin1String(skinKey), rawValue(v));
    emit skinChanged();
}

void AppModel::setFaceStyle(FaceStyle v) {
    faceStyle_ = v;
    platform_.setSetting(QLatin1String(faceStyleKey), rawValue(v));
    emit faceStyleChanged();
}

const CalculatorModel& AppModel::model() const {
    switch (skin_) {
    case SkinChoice::hp16c: return CalculatorModel::hp16c();
    case SkinChoice::hp15c: return CalculatorModel::hp15c();
    case SkinChoice::hp12c: return CalculatorModel::hp12c();
    case SkinChoice::automatic: break;
    }
    return CalculatorModel::model(snapshot_.model);
}

QString AppModel::modelName() const { return QStringLiteral("HP-") + QString::fromStdString(model().name); }

double AppModel::faceAspectRatio() const {
    if (faceStyle_ == FaceStyle::photo) {
        const int id = model().id;
        if (id == 12 || id == 15 || id == 16)
            if (const PhotoFace* face = PhotoFace::face(id)) return face->aspectRatio();
    }
    return 1.62;
}

bool AppModel::canSwitchModel() const { return images_.size() >= 2 && isRunning_ && !isSwitchingModel_; }

QString AppModel::timestamp(const QDateTime& when) {
    // The C locale is the POSIX one: ASCII digits, whatever the user's locale.
    return QLocale::c().toString(when.toLocalTime(), QStringLiteral("yyyy-MM-dd HH.mm.ss"));
}

QString AppModel::errorText(std::exception_ptr error) {
    return QString::fromStdString(engineErrorText(error));
}

} // namespace tw
