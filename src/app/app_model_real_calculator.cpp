// Reading and writing the real calculator over USB.
#include "app/app_model.h"

#include "usblink/calculator_link.h"

namespace tw {

template <class T>
void AppModel::runLink(const QString&, double, std::function<T(CalculatorLink&)>,
                       std::function<void(EngineOutcome<T>)>) {}

template void AppModel::runLink<std::vector<uint8_t>>(const QString&, double,
                                                      std::function<std::vector<uint8_t>(CalculatorLink&)>,
                                                      std::function<void(EngineOutcome<std::vector<uint8_t>>)>);
template void AppModel::runLink<CalculatorBackup>(const QString&, double,
                                                  std::function<CalculatorBackup(CalculatorLink&)>,
                                                  std::function<void(EngineOutcome<CalculatorBackup>)>);

void AppModel::readFromCalculator() {}

void AppModel::readCalculatorFinished(EngineOutcome<std::vector<uint8_t>>) {}

void AppModel::saveCalculatorMemoryToFile() {}

void AppModel::writeToCalculator() {}

void AppModel::confirmWrite(const PendingWrite&) {}

QString AppModel::backupCalculatorMemory(const std::vector<uint8_t>&, std::optional<int>) { return {}; }

void AppModel::reportLinkError(std::exception_ptr error) { setErrorMessage(errorText(error)); }

} // namespace tw
