#include "docxdocument.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The parts are read without namespace processing, so that serialising them gives back every
// declaration as it was (a reader may rely on prefixes named only in attributes). Word's own
// prefix "w" is taken as given, as every word processor writes it.
const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kImageRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/image");
const QString kTemplateMain = QStringLiteral("wordprocessingml.template.main+xml");
const QString kDocumentMain = QStringLiteral("wordprocessingml.document.main+xml");
constexpr double kEmuPerInch = 914400.0;

bool parse(QDomDocument& doc, const QByteArray& bytes)
{
    return !bytes.isEmpty() && doc.setContent(bytes, false);
}

QByteArray serialise(const QDomDocument& doc)
{
    return doc.toByteArray(-1);
}

// The relationships part that belongs to a part ("word/document.xml" -> "word/_rels/document.xml.rels").
QString relsOf(const QString& part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

} // namespace

struct DocxDocument::Xml {
    QDomDocument main;

    QDomElement bookmark(const QString& name)
    {
        const QDomNodeList starts = main.elementsByTagName(QStringLiteral("w:bookmarkStart"));
        for (int i = 0; i < starts.size(); ++i) {
            const QDomElement e = starts.at(i).toElement();
            if (e.attribute(QStringLiteral("w:name")) == name)
                return e;
        }
        return QDomElement();
    }

    // Removes the runs between the bookmark's start and its end (same parent) and returns the
    // run properties of the first, so that new content keeps the template's look.
    QDomElement clearBookmark(const QDomElement& start)
    {
        const QString id = start.attribute(QStringLiteral("w:id"));
        QDomElement properties;
        QDomNode node = start.nextSibling();
        while (!node.isNull()) {
            const QDomNode next = node.nextSibling();
            const QDomElement e = node.toElement();
            if (e.tagName() == QLatin1String("w:bookmarkEnd") && e.attribute(QStringLiteral("w:id")) == id)
                break;
            if (e.tagName() == QLatin1String("w:r")) {
                if (properties.isNull())
                    properties = e.firstChildElement(QStringLiteral("w:rPr")).cloneNode(true).toElement();
                node.parentNode().removeChild(node);
            }
            node = next;
        }
        return properties;
    }
};

DocxDocument::DocxDocument() = default;

DocxDocument::~DocxDocument()
{
    close();
}

bool DocxDocument::open(const QString& path)
{
    close();
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        m_error = QStringLiteral("cannot open %1: %2").arg(path, QString::fromUtf8(zip_error_strerror(&error)));
        zip_error_fini(&error);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    bool ok = true;
    for (zip_int64_t i = 0; i < count && ok; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
            ok = false;
            break;
        }
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(QLatin1Char('/')))
            continue;
        // Template parts are small; a member claiming more than 256 MiB is no template.
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > (zip_uint64_t(1) << 28)) {
            ok = false;
            break;
        }
        QByteArray bytes(int(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        ok = file && zip_fread(file, bytes.data(), stat.size) == zip_int64_t(stat.size);
        if (file)
            zip_fclose(file);
        if (ok)
            m_parts.insert(name, bytes);
    }
    zip_discard(archive);
    if (!ok) {
        m_parts.clear();
        m_error = QStringLiteral("cannot read the parts of %1").arg(path);
        return false;
    }
    if (!loadMain()) {
        m_parts.clear();
        return false;
    }
    m_open = true;
    return true;
}

bool DocxDocument::loadMain()
{
    m_mainPart = QStringLiteral("word/document.xml");
    QDomDocument rels;
    if (parse(rels, m_parts.value(QStringLiteral("_rels/.rels")))) {
        const QDomNodeList list = rels.elementsByTagName(QStringLiteral("Relationship"));
        for (int i = 0; i < list.size(); ++i) {
            const QDomElement e = list.at(i).toElement();
            if (e.attribute(QStringLiteral("Type")).endsWith(QLatin1String("/officeDocument"))) {
                QString target = e.attribute(QStringLiteral("Target"));
                if (target.startsWith(QLatin1Char('/')))
                    target.remove(0, 1);
                m_mainPart = target;
                break;
            }
        }
    }
    m_xml = new Xml;
    if (!parse(m_xml->main, m_parts.value(m_mainPart))) {
        m_error = QStringLiteral("no readable main document part %1").arg(m_mainPart);
        delete m_xml;
        m_xml = nullptr;
        return false;
    }
    return true;
}

void DocxDocument::storeMain()
{
    if (m_xml)
        m_parts.insert(m_mainPart, serialise(m_xml->main));
}

bool DocxDocument::hasBookmark(const QString& name) const
{
    return m_xml && !m_xml->bookmark(name).isNull();
}

bool DocxDocument::setBookmarkText(const QString& name, const QString& text)
{
    if (!m_xml)
        return false;
    const QDomElement start = m_xml->bookmark(name);
    if (start.isNull())
        return false;
    QDomDocument& doc = m_xml->main;
    const QDomElement properties = m_xml->clearBookmark(start);
    QDomElement run = doc.createElement(QStringLiteral("w:r"));
    if (!properties.isNull())
        run.appendChild(properties);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            run.appendChild(doc.createElement(QStringLiteral("w:br")));
        QDomElement t = doc.createElement(QStringLiteral("w:t"));
        t.setAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        t.appendChild(doc.createTextNode(lines.at(i)));
        run.appendChild(t);
    }
    start.parentNode().insertAfter(run, start);
    storeMain();
    return true;
}

bool DocxDocument::insertPicture(const QString& name, const QByteArray& png, int width, int height,
                                 double maxWidthInch, double maxHeightInch)
{
    if (!m_xml || png.isEmpty() || width <= 0 || height <= 0)
        return false;
    const QDomElement start = m_xml->bookmark(name);
    if (start.isNull())
        return false;

    // The package's relationships of the main part get the picture.
    const QString relsPart = relsOf(m_mainPart);
    QDomDocument rels;
    if (!parse(rels, m_parts.value(relsPart)))
        rels.setContent(QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>"),
                        false);
    QString relId;
    QString media;
    for (int n = ++m_pictures;; n = ++m_pictures) {
        relId = QStringLiteral("rIdPicture%1").arg(n);
        media = QStringLiteral("media/picture%1.png").arg(n);
        bool used = m_parts.contains(QStringLiteral("word/") + media);
        const QDomNodeList list = rels.elementsByTagName(QStringLiteral("Relationship"));
        for (int i = 0; i < list.size() && !used; ++i)
            used = list.at(i).toElement().attribute(QStringLiteral("Id")) == relId;
        if (!used)
            break;
    }
    QDomElement rel = rels.createElement(QStringLiteral("Relationship"));
    rel.setAttribute(QStringLiteral("Id"), relId);
    rel.setAttribute(QStringLiteral("Type"), kImageRel);
    rel.setAttribute(QStringLiteral("Target"), media);
    rels.documentElement().appendChild(rel);

    QDomDocument types;
    if (parse(types, m_parts.value(QStringLiteral("[Content_Types].xml")))) {
        bool hasPng = false;
        const QDomNodeList defaults = types.elementsByTagName(QStringLiteral("Default"));
        for (int i = 0; i < defaults.size() && !hasPng; ++i)
            hasPng = defaults.at(i).toElement().attribute(QStringLiteral("Extension")).compare(
                         QLatin1String("png"), Qt::CaseInsensitive) == 0;
        if (!hasPng) {
            QDomElement def = types.createElement(QStringLiteral("Default"));
            def.setAttribute(QStringLiteral("Extension"), QStringLiteral("png"));
            def.setAttribute(QStringLiteral("ContentType"), QStringLiteral("image/png"));
            types.documentElement().insertBefore(def, types.documentElement().firstChild());
            m_parts.insert(QStringLiteral("[Content_Types].xml"), serialise(types));
        }
    }

    const QString dir = m_mainPart.left(m_mainPart.lastIndexOf(QLatin1Char('/')) + 1);
    m_parts.insert(dir + media, png);
    m_parts.insert(relsPart, serialise(rels));

    // Fitted into the box with its proportions kept.
    const double scale = std::min(maxWidthInch / width, maxHeightInch / height);
    const qint64 cx = qint64(width * scale * kEmuPerInch);
    const qint64 cy = qint64(height * scale * kEmuPerInch);
    const int id = 1000 + m_pictures;
    const QString fragment =
        QStringLiteral(
            "<w:r xmlns:w=\"%5\" xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
            " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
            " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\""
            " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
            "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:docPr id=\"%3\" name=\"Picture %3\"/>"
            "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
            "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"%3\" name=\"picture%3.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
            "<pic:blipFill><a:blip r:embed=\"%4\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
            "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
            "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
            "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
            .arg(cx)
            .arg(cy)
            .arg(id)
            .arg(relId, kW);
    QDomDocument piece;
    if (!piece.setContent(fragment, false))
        return false;
    m_xml->clearBookmark(start);
    const QDomNode run = m_xml->main.importNode(piece.documentElement(), true);
    start.parentNode().insertAfter(run, start);
    storeMain();
    return true;
}

bool DocxDocument::saveAs(const QString& path)
{
    if (!m_open || path.isEmpty())
        return false;
    // A document, not a template, whatever the package was opened from.
    QByteArray types = m_parts.value(QStringLiteral("[Content_Types].xml"));
    types.replace(kTemplateMain.toUtf8(), kDocumentMain.toUtf8());
    QMap<QString, QByteArray> parts = m_parts;
    parts.insert(QStringLiteral("[Content_Types].xml"), types);

    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.')
                              + QUuid::createUuid().toString(QUuid::Id128).left(8) + QStringLiteral(".part");
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(temporary).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        m_error = QStringLiteral("cannot create %1").arg(temporary);
        return false;
    }
    // The content types first, as readers expect; every buffer lives in parts until zip_close.
    QStringList order = parts.keys();
    order.removeAll(QStringLiteral("[Content_Types].xml"));
    order.prepend(QStringLiteral("[Content_Types].xml"));
    bool ok = true;
    for (const QString& name : qAsConst(order)) {
        const QByteArray& bytes = parts[name];
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            ok = false;
            break;
        }
    }
    if (!ok || zip_close(archive) != 0) {
        m_error = QStringLiteral("cannot write %1: %2").arg(path, QString::fromUtf8(zip_strerror(archive)));
        zip_discard(archive);
        QFile::remove(temporary);
        return false;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        m_error = QStringLiteral("cannot rename %1 to %2").arg(temporary, path);
        QFile::remove(temporary);
        return false;
    }
    return true;
}

void DocxDocument::close()
{
    delete m_xml;
    m_xml = nullptr;
    m_parts.clear();
    m_mainPart.clear();
    m_open = false;
    m_pictures = 0;
}
