#include "ui/ErrorTrap.h"

#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "db/DbError.h"

#include <QApplication>

#include <exception>

namespace pf {

void RunTrapped(const std::function<void()>& action, bool offerClose)
{
    try {
        action();
    } catch (const ProcessExit& exit) {
        QApplication::exit(exit.Code);
    } catch (const DbError& error) {
        ReportError(ToErrorInfo(error), offerClose);
    } catch (const std::bad_alloc&) {
        ReportError({7, "", "Pfannola", {}}, offerClose);
    } catch (const std::exception& error) {
        ReportError({5, error.what(), "Pfannola", {}}, offerClose);
    }
}

} // namespace pf
