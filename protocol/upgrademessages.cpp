#include "upgrademessages.h"

#include "devicestate.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace Koru {
namespace {

struct CodeKey
{
    int code;
    const char *key;
};

const CodeKey ErrorKeys[] = {
    {-1, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror1")},
    {-3, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror3")},
    {-13, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror3")},
    {-7, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror7")},
    {-10, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror10")},
    {-15, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror15")},
    {-99, QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror99")},
};
const char *const UnknownErrorKey = QT_TRANSLATE_NOOP("UpgradeEngine", "msgerror0");

} // namespace

QString upgradeMessageText(int code, const QString &text)
{
    if (code >= 0)
        return text;
    const auto entry = std::find_if(std::begin(ErrorKeys), std::end(ErrorKeys),
                                    [code](const CodeKey &e) { return e.code == code; });
    const char *key = entry == std::end(ErrorKeys) ? UnknownErrorKey : entry->key;
    return QCoreApplication::translate("UpgradeEngine", key);
}

uint8_t takeUpgradeErrorStage(DeviceState &state)
{
    const uint8_t stage = state.upgErrorStage;
    state.upgErrorStage = 0;
    return stage;
}

} // namespace Koru
