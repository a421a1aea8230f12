#include "resources/images.h"

#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QPixmap>

#include <mutex>

// The compiled-in files of a static library must be registered by hand, from outside any
// namespace; every access below goes through here first.
static void RegisterCompiledResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(turnwise_resources); });
}

namespace resources {
namespace {

struct PictureFile {
    int id;
    const char16_t* path;
};

constexpr PictureFile kPictures[] = {
    {kIdbSaveStripJapanese, u":/turnwise/images/save_ja.png"},
    {kIdbSaveStripEnglish, u":/turnwise/images/save_en.png"},
    {kIdbDeleteStripJapanese, u":/turnwise/images/delete_ja.png"},
    {kIdbDeleteStripEnglish, u":/turnwise/images/delete_en.png"},
    {kIdbArrowStrip, u":/turnwise/images/arrows.png"},
    {kIdbToolStrip, u":/turnwise/images/tools.png"},
    {kIdbBanner, u":/turnwise/images/banner.png"},
    {kIdbHeaderActive, u":/turnwise/images/header_active.png"},
    {kIdbHeaderInactive, u":/turnwise/images/header_inactive.png"},
    {kIdbCorner, u":/turnwise/images/corner.png"},
    {kIdcOpenHand, u":/turnwise/images/open_hand.png"},
};

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

QIcon LoadIconSet(const QString& stem)
{
    RegisterCompiledResources();
    QIcon icon;
    for (int size : kIconSizes)
        icon.addFile(QStringLiteral(":/turnwise/images/%1_%2.png").arg(stem).arg(size), QSize(size, size));
    return icon;
}

} // namespace

int SaveStripId(platform::UiLanguage language)
{
    return language == platform::UiLanguage::Japanese ? kIdbSaveStripJapanese : kIdbSaveStripEnglish;
}

int DeleteStripId(platform::UiLanguage language)
{
    return language == platform::UiLanguage::Japanese ? kIdbDeleteStripJapanese : kIdbDeleteStripEnglish;
}

QByteArray LoadResourceData(int id)
{
    RegisterCompiledResources();
    for (const PictureFile& picture : kPictures) {
        if (picture.id != id)
            continue;
        QFile file(QString::fromUtf16(picture.path));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }
    return {};
}

QImage LoadResourceImage(int id)
{
    const QByteArray data = LoadResourceData(id);
    if (data.isEmpty())
        return {};
    return QImage::fromData(data, "PNG");
}

QCursor OpenHandCursor()
{
    return QCursor(QPixmap::fromImage(LoadResourceImage(kIdcOpenHand)), kOpenHandHotSpotX, kOpenHandHotSpotY);
}

QIcon ProgramIcon()
{
    return LoadIconSet(QStringLiteral("program_icon"));
}

QIcon LauncherIcon()
{
    return LoadIconSet(QStringLiteral("launcher_icon"));
}

} // namespace resources
