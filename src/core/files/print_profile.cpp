// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/print_profile.h"

#include "system/regular_file.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cmath>

// The shipped profiles are compiled into the static core library, so they are registered
// explicitly; the macro must be used outside any namespace.
static void registerPrintProfiles()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(print_profiles);
        return true;
    }();
    (void)registered;
}

namespace orvane {
namespace {

constexpr const char* ShippedFolder = ":/print_profiles";
constexpr qint64 MaxProfileBytes = 64 * 1024;
constexpr double MaxLengthMm = 2000;

// A fault in a profile: the member and why.
struct Fault {
    QString member;
    QString reason;
};

// A length: a number of millimetres, or text with its unit ("63.5mm", "2.5in").
std::optional<double> lengthMm(const QJsonValue& value, QString* reason)
{
    double mm = 0;
    if (value.isDouble()) {
        mm = value.toDouble();
    } else if (value.isString()) {
        static const QRegularExpression form(
            QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+)\\s*(mm|in)\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = form.match(value.toString());
        if (!match.hasMatch()) {
            *reason = QStringLiteral("\"%1\" is not a length (a number of millimetres, or text "
                                     "like \"63mm\" or \"2.5in\")")
                          .arg(value.toString().left(40));
            return std::nullopt;
        }
        mm = match.captured(1).toDouble();
        if (match.captured(2).compare(QLatin1String("in"), Qt::CaseInsensitive) == 0)
            mm *= 25.4;
    } else {
        *reason = QStringLiteral("is not a length (a number of millimetres, or text like "
                                 "\"63mm\" or \"2.5in\")");
        return std::nullopt;
    }
    if (!std::isfinite(mm) || mm < 0) {
        *reason = QStringLiteral("is negative; a length is 0 or more");
        return std::nullopt;
    }
    if (mm > MaxLengthMm) {
        *reason = QStringLiteral("%1 mm is over %2 mm").arg(mm).arg(MaxLengthMm);
        return std::nullopt;
    }
    return mm;
}

QString mmText(double mm)
{
    return QString::number(mm, 'g', 5);
}

class ProfileReader {
public:
    explicit ProfileReader(const QJsonObject& object) : m_object(object) {}

    std::optional<Fault> read(PrintProfile& p)
    {
        static const QStringList known = {
            "title", "about",  "layout",      "page",    "trim",      "bleed",  "safe",
            "dpi",   "margin", "gap",         "columns", "rows",      "duplex", "mirror_backs",
            "backs", "fill",   "back_colour", "enlarge", "cut_lines", "files"};
        for (auto it = m_object.begin(); it != m_object.end(); ++it)
            if (!known.contains(it.key()))
                return Fault{it.key(), QStringLiteral("is not a member of a print profile")};
        if (!text("title", p.title) || !text("about", p.about) ||
            !choice("layout", {"sheets", "card-images"}, [&](int k) {
                p.layout = k == 0 ? PrintLayout::Sheets : PrintLayout::CardImages;
            }))
            return m_fault;
        if (!readPage(p) || !readSize("trim", p.trimMm) || !length("bleed", p.bleedMm) ||
            !length("safe", p.safeMm) || !length("margin", p.marginMm) || !length("gap", p.gapMm) ||
            !whole("columns", 0, 50, p.columns) || !whole("rows", 0, 50, p.rows) || !readDpi(p))
            return m_fault;
        if (!choice("duplex", {"long", "short"},
                    [&](int k) { p.duplex = k == 0 ? DuplexEdge::Long : DuplexEdge::Short; }) ||
            !flag("mirror_backs", p.mirrorBacks) || !flag("backs", p.backs) ||
            !choice(
                "fill", {"edge-pixels", "back-colour"},
                [&](int k) { p.fill = k == 0 ? PrintFill::EdgePixels : PrintFill::BackColour; }) ||
            !readColour(p) ||
            !choice("enlarge", {"blocks", "scale2x", "scale3x"},
                    [&](int k) { p.enlargement = Enlargement(k); }) ||
            !choice("cut_lines", {"corners", "full", "none"},
                    [&](int k) { p.cutMarks = CutMarks(k); }) ||
            !readFiles(p))
            return m_fault;
        if (const std::optional<Fault> fault = checkTogether(p))
            return fault;
        return std::nullopt;
    }

private:
    bool fail(const QString& member, const QString& reason)
    {
        m_fault = Fault{member, reason};
        return false;
    }

    bool text(const char* member, QString& out)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        if (value.isUndefined())
            return true;
        if (!value.isString())
            return fail(QLatin1String(member), QStringLiteral("is not text"));
        out = value.toString();
        return true;
    }

    bool flag(const char* member, bool& out)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        if (value.isUndefined())
            return true;
        if (!value.isBool())
            return fail(QLatin1String(member), QStringLiteral("is not true or false"));
        out = value.toBool();
        return true;
    }

    template <typename Set> bool choice(const char* member, const QStringList& words, Set set)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        if (value.isUndefined())
            return true;
        const qsizetype k = words.indexOf(value.toString().trimmed().toLower());
        if (!value.isString() || k < 0)
            return fail(QLatin1String(member),
                        QStringLiteral("must be %1").arg(words.join(QStringLiteral(" or "))));
        set(int(k));
        return true;
    }

    bool whole(const char* member, int low, int high, int& out)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        if (value.isUndefined())
            return true;
        const double number = value.toDouble(-1);
        if (!value.isDouble() || number != std::floor(number) || number < low || number > high)
            return fail(QLatin1String(member),
                        QStringLiteral("must be a whole number from %1 to %2").arg(low).arg(high));
        out = int(number);
        return true;
    }

    bool lengthOf(const QString& member, const QJsonValue& value, double& out)
    {
        QString reason;
        const std::optional<double> mm = lengthMm(value, &reason);
        if (!mm)
            return fail(member, reason);
        out = *mm;
        return true;
    }

    bool length(const char* member, double& out)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        return value.isUndefined() || lengthOf(QLatin1String(member), value, out);
    }

    bool sizeOf(const QString& member, const QJsonValue& value, QSizeF& out)
    {
        if (!value.isObject())
            return fail(member, QStringLiteral("must be an object with width and height"));
        const QJsonObject size = value.toObject();
        double width = 0, height = 0;
        for (const char* part : {"width", "height"})
            if (!size.contains(QLatin1String(part)))
                return fail(member + QLatin1Char('.') + QLatin1String(part),
                            QStringLiteral("is missing"));
        if (!lengthOf(member + QStringLiteral(".width"), size.value(QLatin1String("width")),
                      width) ||
            !lengthOf(member + QStringLiteral(".height"), size.value(QLatin1String("height")),
                      height))
            return false;
        if (width <= 0 || height <= 0)
            return fail(member, QStringLiteral("must not be empty"));
        out = QSizeF(width, height);
        return true;
    }

    bool readSize(const char* member, QSizeF& out)
    {
        const QJsonValue value = m_object.value(QLatin1String(member));
        return value.isUndefined() || sizeOf(QLatin1String(member), value, out);
    }

    bool readPage(PrintProfile& p)
    {
        const QJsonValue value = m_object.value(QLatin1String("page"));
        if (value.isUndefined())
            return true;
        if (value.isString()) {
            const QString name = value.toString().trimmed().toLower();
            if (name == QLatin1String("a4"))
                p.pageMm = QSizeF(210, 297);
            else if (name == QLatin1String("letter"))
                p.pageMm = QSizeF(215.9, 279.4);
            else
                return fail(QStringLiteral("page"),
                            QStringLiteral("must be A4, Letter or an object with width and "
                                           "height"));
            return true;
        }
        return sizeOf(QStringLiteral("page"), value, p.pageMm);
    }

    bool readDpi(PrintProfile& p)
    {
        const QJsonValue value = m_object.value(QLatin1String("dpi"));
        if (value.isUndefined())
            return true;
        const double dpi = value.toDouble(-1);
        if (!value.isDouble() || dpi != std::floor(dpi))
            return fail(QStringLiteral("dpi"), QStringLiteral("must be a whole number"));
        if (dpi > MaxPrintDpi)
            return fail(QStringLiteral("dpi"),
                        QStringLiteral("%1 is over %2").arg(dpi).arg(MaxPrintDpi));
        if (dpi < MinPrintDpi)
            return fail(QStringLiteral("dpi"),
                        QStringLiteral("%1 is under %2").arg(dpi).arg(MinPrintDpi));
        p.dpi = int(dpi);
        return true;
    }

    bool readColour(PrintProfile& p)
    {
        const QJsonValue value = m_object.value(QLatin1String("back_colour"));
        if (value.isUndefined())
            return true;
        static const QRegularExpression form(QStringLiteral("^#[0-9a-fA-F]{6}$"));
        if (!value.isString() || !form.match(value.toString()).hasMatch())
            return fail(QStringLiteral("back_colour"), QStringLiteral("must be #rrggbb"));
        p.backColour = QColor(value.toString());
        return true;
    }

    bool readFiles(PrintProfile& p)
    {
        const QJsonValue value = m_object.value(QLatin1String("files"));
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(QStringLiteral("files"), QStringLiteral("must be an object"));
        const QJsonObject files = value.toObject();
        for (auto it = files.begin(); it != files.end(); ++it)
            if (it.key() != QLatin1String("backs") && it.key() != QLatin1String("name"))
                return fail(QStringLiteral("files.") + it.key(),
                            QStringLiteral("is not a member of files (backs, name)"));
        const QJsonValue backs = files.value(QLatin1String("backs"));
        if (!backs.isUndefined()) {
            const QString word = backs.toString();
            if (word != QLatin1String("together") && word != QLatin1String("apart"))
                return fail(QStringLiteral("files.backs"),
                            QStringLiteral("must be together or apart"));
            p.backsApart = word == QLatin1String("apart");
        }
        const QJsonValue name = files.value(QLatin1String("name"));
        if (!name.isUndefined()) {
            if (!name.isString() || !name.toString().contains(QLatin1String("{number}")))
                return fail(QStringLiteral("files.name"),
                            QStringLiteral("must be text holding {number} (each copy's "
                                           "file its own name)"));
            if (name.toString().contains(QLatin1Char('/')) ||
                name.toString().contains(QLatin1Char('\\')))
                return fail(QStringLiteral("files.name"),
                            QStringLiteral("must not hold a folder separator"));
            p.namePattern = name.toString();
        }
        return true;
    }

    // What the members mean together: the card fits its page, the safe area its trim.
    std::optional<Fault> checkTogether(const PrintProfile& p) const
    {
        if (2 * p.safeMm >= std::min(p.trimMm.width(), p.trimMm.height()))
            return Fault{
                QStringLiteral("safe"),
                QStringLiteral("%1 mm leaves nothing of the %2 x %3 mm trim")
                    .arg(mmText(p.safeMm), mmText(p.trimMm.width()), mmText(p.trimMm.height()))};
        const double shortSideInches = std::min(p.trimMm.width(), p.trimMm.height()) / 25.4;
        if (shortSideInches * p.dpi < 62)
            return Fault{QStringLiteral("trim"),
                         QStringLiteral("at %1 dpi its shorter side is under the card's 62 "
                                        "pixels")
                             .arg(p.dpi)};
        if (p.layout != PrintLayout::Sheets)
            return std::nullopt;
        const double width = p.trimMm.width() + 2 * (p.bleedMm + p.marginMm);
        const double height = p.trimMm.height() + 2 * (p.bleedMm + p.marginMm);
        if (width > p.pageMm.width() || height > p.pageMm.height())
            return Fault{QStringLiteral("trim"),
                         QStringLiteral("%1 x %2 mm with its bleed and the page margin is "
                                        "larger than the %3 x %4 mm page")
                             .arg(mmText(p.trimMm.width()), mmText(p.trimMm.height()),
                                  mmText(p.pageMm.width()), mmText(p.pageMm.height()))};
        return std::nullopt;
    }

    const QJsonObject& m_object;
    Fault m_fault;
};

bool looksLikeFile(const QString& nameOrFile)
{
    return nameOrFile.contains(QLatin1Char('/')) || nameOrFile.contains(QDir::separator()) ||
           nameOrFile.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

QStringList profileNamesIn(const QString& folder)
{
    QStringList names;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        names << file.completeBaseName();
    return names;
}

}  // namespace

std::optional<Enlargement> enlargementFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("blocks"))
        return Enlargement::Blocks;
    if (n == QLatin1String("scale2x"))
        return Enlargement::Scale2x;
    if (n == QLatin1String("scale3x"))
        return Enlargement::Scale3x;
    return std::nullopt;
}

std::optional<PrintProfile> parsePrintProfile(const QByteArray& json, const QString& name,
                                              QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not valid JSON at character %1: %2")
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = QStringLiteral("not a print profile: the file holds no JSON object");
        return std::nullopt;
    }
    PrintProfile profile;
    profile.name = name;
    profile.title = name;
    const QJsonObject object = document.object();
    if (const std::optional<Fault> fault = ProfileReader(object).read(profile)) {
        *error = QStringLiteral("member %1: %2").arg(fault->member, fault->reason);
        return std::nullopt;
    }
    return profile;
}

QByteArray printProfileJson(const PrintProfile& p)
{
    const auto size = [](QSizeF mm) {
        return QJsonObject{{"width", mm.width()}, {"height", mm.height()}};
    };
    static const char* enlargements[] = {"blocks", "scale2x", "scale3x"};
    static const char* marks[] = {"corners", "full", "none"};
    QJsonObject object{{"title", p.title},
                       {"about", p.about},
                       {"layout", p.layout == PrintLayout::Sheets ? "sheets" : "card-images"},
                       {"page", size(p.pageMm)},
                       {"trim", size(p.trimMm)},
                       {"bleed", p.bleedMm},
                       {"safe", p.safeMm},
                       {"dpi", p.dpi},
                       {"margin", p.marginMm},
                       {"gap", p.gapMm},
                       {"columns", p.columns},
                       {"rows", p.rows},
                       {"duplex", p.duplex == DuplexEdge::Long ? "long" : "short"},
                       {"mirror_backs", p.mirrorBacks},
                       {"backs", p.backs},
                       {"fill", p.fill == PrintFill::EdgePixels ? "edge-pixels" : "back-colour"},
                       {"back_colour", p.backColour.name()},
                       {"enlarge", enlargements[int(p.enlargement)]},
                       {"cut_lines", marks[int(p.cutMarks)]},
                       {"files", QJsonObject{{"backs", p.backsApart ? "apart" : "together"},
                                             {"name", p.namePattern}}}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QString printDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("orvane/print"));
}

QString userProfileFolder()
{
    return QDir(printDataFolder()).filePath(QStringLiteral("profiles"));
}

QStringList printProfileNames(const QString& userFolder)
{
    registerPrintProfiles();
    QStringList names = profileNamesIn(QLatin1String(ShippedFolder));
    for (const QString& own : profileNamesIn(userFolder))
        if (!names.contains(own))
            names << own;
    return names;
}

std::optional<PrintProfile> loadPrintProfile(const QString& nameOrFile, QString* error,
                                             const QString& userFolder)
{
    registerPrintProfiles();
    QString path;
    QString name;
    if (looksLikeFile(nameOrFile)) {
        path = nameOrFile;
        name = QFileInfo(nameOrFile).completeBaseName();
    } else {
        name = nameOrFile.trimmed();
        const QString own = QDir(userFolder).filePath(name + QStringLiteral(".json"));
        const QString shipped =
            QStringLiteral("%1/%2.json").arg(QLatin1String(ShippedFolder), name);
        if (!userFolder.isEmpty() && QFileInfo(own).isFile())
            path = own;
        else if (QFileInfo(shipped).isFile())
            path = shipped;
        else {
            *error = QStringLiteral("there is no print profile \"%1\" (there are: %2)")
                         .arg(name, printProfileNames(userFolder).join(QStringLiteral(", ")));
            return std::nullopt;
        }
    }
    QByteArray bytes;
    if (path.startsWith(QLatin1Char(':'))) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    } else {
        ReadFile read = readRegularFile(path, MaxProfileBytes);
        if (!read.error.isEmpty()) {
            *error = QStringLiteral("the print profile %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), read.error);
            return std::nullopt;
        }
        bytes = std::move(read.bytes);
    }
    QString why;
    std::optional<PrintProfile> profile = parsePrintProfile(bytes, name, &why);
    if (!profile)
        *error = QStringLiteral("the print profile %1: %2")
                     .arg(path.startsWith(QLatin1Char(':')) ? name : QDir::toNativeSeparators(path),
                          why);
    return profile;
}

}  // namespace orvane
