#include "lists/QuickAdd.h"

#include "app/ServerListFile.h"
#include "platform/Charset.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"

namespace korvane {

std::optional<TypedAddress> splitTypedAddress(const std::string& ipText)
{
    const std::size_t colon = ipText.find(':');
    if (colon == std::string::npos) return std::nullopt;
    return TypedAddress{ipText.substr(0, colon), ipText.substr(colon + 1)};
}

std::string serverNameOf(const std::string& reply)
{
    if (!isQuickAddAnswer(reply)) return {};
    // A line end inside a name would break the list file's three-line records.
    return hostNameOf(reply);
}

QString addButtonCaption(const std::string& currentList)
{
    return QStringLiteral("add server to \"") + fileNameText(listNameOf(currentList)) +
           QStringLiteral("\" list");
}

std::string deleteQuestion(const std::string& name)
{
    return "Delete server\n" + name + " ?";
}

} // namespace korvane
