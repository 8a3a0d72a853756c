#include "exchange/ElementPath.h"

#include "common/Messages.h"
#include "exchange/LibxmlGlue.h"

#include <cstring>

namespace puente::xml {

namespace {

[[noreturn]] void badPath(const QString& path) { throw messages::BadElementPath(path); }

bool matches(const xmlNode* node, const PathStep& step) {
    if (node->type != XML_ELEMENT_NODE) return false;
    if (std::strcmp(reinterpret_cast<const char*>(node->name), step.local.constData()) != 0) return false;
    const xmlChar* prefix = node->ns ? node->ns->prefix : nullptr;
    if (step.prefix.isEmpty()) return prefix == nullptr;
    return prefix && std::strcmp(reinterpret_cast<const char*>(prefix), step.prefix.constData()) == 0;
}

// Depth-first over the steps: taking the children in order at every level
// gives the matches in document order. Returns true once `limit` is reached.
bool walk(xmlNodePtr parent, const std::vector<PathStep>& steps, size_t index, qsizetype limit,
          QList<xmlNodePtr>* out) {
    const PathStep& step = steps[index];
    const bool last = index + 1 == steps.size();
    for (xmlNodePtr child = parent->children; child; child = child->next) {
        if (!matches(child, step)) continue;
        if (last) {
            out->append(child);
            if (limit > 0 && out->size() >= limit) return true;
        } else if (walk(child, steps, index + 1, limit, out)) {
            return true;
        }
    }
    return false;
}

}  // namespace

ElementPath parseElementPath(const QString& path) {
    ElementPath parsed;
    QStringView rest(path);
    if (rest.startsWith(u'/')) {
        parsed.absolute = true;
        rest = rest.mid(1);
    }
    if (rest.isEmpty()) badPath(path);
    for (QStringView step : rest.split(u'/')) {
        const QByteArray name = step.toUtf8();
        if (name.isEmpty() || xmlValidateQName(asXml(name), 0) != 0) badPath(path);
        const qsizetype colon = name.indexOf(':');
        if (colon < 0)
            parsed.steps.push_back({QByteArray(), name});
        else
            parsed.steps.push_back({name.left(colon), name.mid(colon + 1)});
    }
    return parsed;
}

QList<xmlNodePtr> selectElements(xmlNodePtr context, const ElementPath& path, qsizetype limit) {
    QList<xmlNodePtr> found;
    if (!context) return found;
    xmlNodePtr start = path.absolute && context->doc ? reinterpret_cast<xmlNodePtr>(context->doc) : context;
    walk(start, path.steps, 0, limit, &found);
    return found;
}

}  // namespace puente::xml
