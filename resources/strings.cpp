#include "resources/strings.h"

#include "resources/string_table.h"

namespace resources {
namespace {

using detail::Block;

Block BlockOf(platform::UiLanguage language)
{
    return language == platform::UiLanguage::Japanese ? Block::Japanese : Block::English;
}

// The UI language's own entry wins over a neutral one.
const detail::StringEntry* FindEntry(int id, platform::UiLanguage language)
{
    const Block wanted = BlockOf(language);
    const detail::StringEntry* neutral = nullptr;
    for (std::size_t i = 0; i < detail::kStringTableSize; ++i) {
        const detail::StringEntry& entry = detail::kStringTable[i];
        if (entry.id != id)
            continue;
        if (entry.block == wanted)
            return &entry;
        if (entry.block == Block::Neutral)
            neutral = &entry;
    }
    return neutral;
}

// "%d.%d" of the two 16-bit halves of a 32-bit version word.
FormatArg HighWord(std::uint32_t word) { return FormatArg(static_cast<unsigned>(word >> 16)); }
FormatArg LowWord(std::uint32_t word) { return FormatArg(static_cast<unsigned>(word & 0xFFFFu)); }

} // namespace

QString LoadString(int id, platform::UiLanguage language)
{
    const detail::StringEntry* entry = FindEntry(id, language);
    return entry ? QString::fromUtf16(entry->text) : QString();
}

QString LoadString(int id)
{
    return LoadString(id, platform::SystemUiLanguage());
}

int TextId(TextPair pair, platform::UiLanguage language)
{
    return language == platform::UiLanguage::Japanese ? pair.japanese : pair.english;
}

QString Text(int japaneseId, int englishId, platform::UiLanguage language)
{
    return Text(TextPair{japaneseId, englishId}, language);
}

QString Text(TextPair pair, platform::UiLanguage language)
{
    return LoadString(TextId(pair, language), language);
}

QString Text(TextPair pair)
{
    return Text(pair, platform::SystemUiLanguage());
}

QString AppTitle(platform::UiLanguage language)
{
    return LoadString(kIdsAppTitle, language);
}

QString AppTitle()
{
    return AppTitle(platform::SystemUiLanguage());
}

QString FormatText(const QString& format, std::initializer_list<FormatArg> args)
{
    QString result;
    result.reserve(format.size() + 16);
    auto next = args.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 == format.size()) {
            result.append(c);
            continue;
        }
        const QChar directive = format.at(i + 1);
        if (directive == u'%') {
            result.append(u'%');
            ++i;
        } else if ((directive == u'd' || directive == u's') && next != args.end()) {
            result.append(next->m_isText ? next->m_text : QString::number(next->m_number));
            ++next;
            ++i;
        } else {
            result.append(c);
        }
    }
    return result;
}

QString ImageCountText(int images, int selected, platform::UiLanguage language)
{
    return FormatText(LoadString(kIdsImageCountFormat, language), {images, selected});
}

QString ImageSizeText(int width, int height)
{
    return FormatText(LoadString(kIdsImageSizeFormat, platform::UiLanguage::English), {width, height});
}

QString HeaderVersionText(FileVersion version)
{
    return FormatText(LoadString(kIdsHeaderVersionFormat, platform::UiLanguage::English),
                      {HighWord(version.high), LowWord(version.high), HighWord(version.low), LowWord(version.low)});
}

QString BannerText(const QString& title, FileVersion version)
{
    return FormatText(
        LoadString(kIdsBannerFormat, platform::UiLanguage::English),
        {title, HighWord(version.high), LowWord(version.high), HighWord(version.low), LowWord(version.low)});
}

QString HomePageAddress(const QString& host, platform::UiLanguage language)
{
    return FormatText(LoadString(kIdsHomePageFormat, language), {host});
}

QString HelpPageAddress(const QString& host, platform::UiLanguage language)
{
    return FormatText(LoadString(kIdsHelpPageFormat, language), {host, LoadString(kIdsHelpPagePath, language)});
}

} // namespace resources
