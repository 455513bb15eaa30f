#include "MailComposerSend.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <runtime/Exception.h>

#include <exception>

namespace common {

using kelvane::KelvaneLogger;
using runtime::Id;

bool pressComposerSend(const Id& composer)
{
    try {
        if (!composer)
            return false;
        KelvaneLogger::log(composer->runtimeClassName(), KelvaneLogger::Development);
        Id root = runtime::send<Id>(composer, "_rootViewController");
        if (!root)
            return false;
        KelvaneLogger::log(root->runtimeClassName(), KelvaneLogger::Development);
        const runtime::Ivar* variable = root->isa()->ivarNamed("_sendButtonItem");
        if (!variable)
            return false;
        Id item = variable->objectValue ? variable->objectValue(root.get()) : runtime::nil;
        if (!item)
            return false;
        KelvaneLogger::log(item->runtimeClassName(), KelvaneLogger::Development);
        runtime::send(root, "send:", item);
        return true;
    } catch (const runtime::ObjCException& exception) {
        KelvaneLogger::log(exception.description(), KelvaneLogger::Critical);
        return false;
    } catch (const std::exception& exception) {
        KelvaneLogger::log(exception.what(), KelvaneLogger::Critical);
        return false;
    }
}

} // namespace common
