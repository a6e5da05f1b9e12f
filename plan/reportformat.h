#pragma once

namespace runetally {

enum class ReportFormat { Text, Csv, Json };

} // namespace runetally
