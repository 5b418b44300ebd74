#include "ado/ado_errors.h"

namespace ado {
namespace {

[[noreturn]] void raise(std::uint32_t code, automation::TextView source,
                        automation::TextView description) {
  throw automation::AutomationError(static_cast<automation::HRESULT>(code),
                                    automation::Text(source), automation::Text(description));
}

}  // namespace

void throwArgumentOutOfRange(automation::TextView source) {
  raise(0x800A0BB9, source,
        u"Arguments are of the wrong type, are out of acceptable range, or are in conflict with "
        u"one another.");
}

void throwFileNotOpened(automation::TextView source) {
  raise(0x800A0BBA, source, u"File could not be opened.");
}

void throwNoCurrentRecord(automation::TextView source) {
  raise(0x800A0BCD, source,
        u"Either BOF or EOF is True, or the current record has been deleted. Requested "
        u"operation requires a current record.");
}

void throwNotCapable(automation::TextView source) {
  raise(0x800A0CB3, source,
        u"Object or provider is not capable of performing requested operation.");
}

void throwItemNotFound(automation::TextView source) {
  raise(0x800A0CC1, source,
        u"Item cannot be found in the collection corresponding to the requested name or "
        u"ordinal.");
}

void throwNotAllowedInContext(automation::TextView source) {
  raise(0x800A0C93, source, u"Operation is not allowed in this context.");
}

void throwObjectClosed(automation::TextView source) {
  raise(0x800A0E78, source, u"Operation is not allowed when the object is closed.");
}

void throwObjectOpen(automation::TextView source) {
  raise(0x800A0E79, source, u"Operation is not allowed when the object is open.");
}

void throwConnectionUnusable(automation::TextView source) {
  raise(0x800A0E7D, source,
        u"The connection cannot be used to perform this operation. It is either closed or "
        u"invalid in this context.");
}

void throwInTransaction(automation::TextView source) {
  raise(0x800A0CAE, source,
        u"Connection object cannot be explicitly closed while in a transaction.");
}

void throwNoTransaction(automation::TextView source) {
  raise(0x8004D00E, source, u"No transaction is active.");
}

void throwTransactionExists(automation::TextView source) {
  raise(0x8004D013, source, u"Only one transaction can be active on this session.");
}

void throwNotUpdatable(automation::TextView source) {
  raise(0x800A0CB3, source,
        u"Current Recordset does not support updating. This may be a limitation of the "
        u"provider, or of the selected locktype.");
}

void throwRowNotFound(automation::TextView source) {
  raise(0x80040E38, source,
        u"Row cannot be located for updating. Some values may have been changed since it was "
        u"last read.");
}

}  // namespace ado
