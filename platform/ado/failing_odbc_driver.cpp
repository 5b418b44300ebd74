// An ODBC driver for the tests of the ODBC provider: it connects to nothing, runs every
// statement and then cannot describe its result, as a driver whose link drops between the two
// would. It counts the statement handles it has given out and not yet had back, so that a test
// sees what the provider leaves behind.
#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <cstring>
#include <string_view>

namespace {

std::atomic<int> liveStatements{0};
int environment, connection;

// Copies `text` with its terminator when `buffer` holds it; the length is always reported.
void answer(std::u16string_view text, SQLPOINTER buffer, SQLSMALLINT bytes, SQLSMALLINT* length) {
  const std::size_t size = text.size() * sizeof(char16_t);
  if (buffer && static_cast<std::size_t>(bytes) >= size + sizeof(char16_t)) {
    std::memcpy(buffer, text.data(), size);
    std::memset(static_cast<char*>(buffer) + size, 0, sizeof(char16_t));
  }
  if (length) *length = static_cast<SQLSMALLINT>(size);
}

// The driver manager exports the same names: the driver's own calls go to this, not to them.
SQLRETURN freeStatement(SQLHANDLE handle) {
  --liveStatements;
  delete static_cast<int*>(handle);
  return SQL_SUCCESS;
}

}  // namespace

extern "C" {

int failing_driver_live_statements() { return liveStatements; }

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE, SQLHANDLE* handle) {
  if (type == SQL_HANDLE_STMT) {
    ++liveStatements;
    *handle = new int(0);
  } else {
    *handle = type == SQL_HANDLE_ENV ? &environment : &connection;
  }
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  return type == SQL_HANDLE_STMT ? freeStatement(handle) : SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option) {
  return option == SQL_DROP ? freeStatement(handle) : SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return SQL_SUCCESS; }

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER) {
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*,
                                    SQLSMALLINT, SQLSMALLINT* length, SQLUSMALLINT) {
  if (length) *length = 0;
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC) { return SQL_SUCCESS; }

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT bytes,
                              SQLSMALLINT* length) {
  if (type == SQL_DBMS_NAME) {
    answer(u"Failing", value, bytes, length);
  } else if (type == SQL_DRIVER_ODBC_VER) {
    answer(u"03.00", value, bytes, length);
  } else {
    if (value && bytes >= 4) std::memset(value, 0, 4);
    if (length) *length = 4;
  }
  return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT, SQLWCHAR*, SQLINTEGER) { return SQL_SUCCESS; }

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT, SQLSMALLINT*) { return SQL_ERROR; }

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT, SQLHANDLE, SQLSMALLINT record, SQLWCHAR* state,
                                 SQLINTEGER* native, SQLWCHAR* message, SQLSMALLINT capacity,
                                 SQLSMALLINT* length) {
  if (record > 1) return SQL_NO_DATA;
  if (state) std::memcpy(state, u"08S01", 6 * sizeof(char16_t));
  if (native) *native = 0;
  SQLSMALLINT bytes = 0;
  answer(u"Communication link failure", message,
         static_cast<SQLSMALLINT>(capacity * sizeof(char16_t)), &bytes);
  if (length) *length = static_cast<SQLSMALLINT>(bytes / sizeof(char16_t));
  return SQL_SUCCESS;
}

// The driver manager asks how many records there are before it reads them.
SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT, SQLHANDLE, SQLSMALLINT record,
                                   SQLSMALLINT field, SQLPOINTER value, SQLSMALLINT,
                                   SQLSMALLINT*) {
  if (record != 0 || field != SQL_DIAG_NUMBER) return SQL_NO_DATA;
  *static_cast<SQLINTEGER*>(value) = 1;
  return SQL_SUCCESS;
}

}  // extern "C"
