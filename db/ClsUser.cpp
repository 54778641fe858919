#include "db/ClsUser.h"

#include "core/AppContext.h"
#include "core/CodePage.h"
#include "core/Messages.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace pf {

namespace {

constexpr const char* kNameTaken =
    "Dieser Benutzername ist bereits in Verwendung. Der Benutzername muss eindeutig sein!";
constexpr const char* kLastAdministrator =
    "Dies ist der letzte Benutzer mit Supervisor-Rechten. Er kann nicht gelöscht werden";

// The Windows-1252 codes of a text; a character the code page lacks counts as "?".
std::vector<unsigned char> AnsiCodes(const std::string& text)
{
    std::vector<unsigned char> codes;
    const CodePage& page = CodePage::Windows1252();
    for (char32_t cp : ToCodePoints(text)) {
        unsigned char byte = '?';
        if (!page.Encode(cp, byte))
            byte = '?';
        codes.push_back(byte);
    }
    return codes;
}

std::string NameKey(const std::string& name)
{
    return ToUpper(Trim(name));
}

// A text field of a row; a damaged value reads as empty.
std::string TextField(const Recordset& rs, const char* name)
{
    try {
        return rs.Field(name).AsText();
    } catch (const DbError&) {
        return {};
    }
}

// Flags is a 32-bit Long. Anything that is no number in that range (NULL, text, a huge or
// fractional double) reads as no rights rather than stopping the whole list.
long FlagsField(const Recordset& rs)
{
    try {
        const Value value = rs.Field("Flags");
        if (value.Type() == ValueType::Long) {
            const std::int64_t flags = value.AsLong();
            if (flags >= std::numeric_limits<std::int32_t>::min() &&
                flags <= std::numeric_limits<std::int32_t>::max())
                return static_cast<long>(flags);
            return 0;
        }
        if (value.Type() == ValueType::Double || value.Type() == ValueType::Currency) {
            const double flags = value.AsDouble();
            if (std::isfinite(flags) && std::floor(flags) == flags && flags >= -2147483648.0 &&
                flags <= 2147483647.0)
                return static_cast<long>(flags);
        }
    } catch (const DbError&) {
    }
    return 0;
}

} // namespace

std::string ScramblePassword(const std::string& name, const std::string& password)
{
    const std::vector<unsigned char> nameCodes = AnsiCodes(name);
    std::vector<unsigned char> pwdCodes = AnsiCodes(password);
    if (pwdCodes.empty())
        pwdCodes.push_back(' ');
    if (nameCodes.empty())
        return {};
    const std::size_t length = std::max(nameCodes.size(), pwdCodes.size());
    const CodePage& page = CodePage::Windows1252();
    std::string scrambled;
    for (std::size_t i = 1; i <= length; ++i) {
        const unsigned code = static_cast<unsigned>(pwdCodes[(i - 1) % pwdCodes.size()]) ^
                              nameCodes[(i - 1) % nameCodes.size()] ^ static_cast<unsigned>(i);
        // Lengths are capped well below 256, so the code stays a byte.
        AppendUtf8(scrambled, page.Decode(static_cast<unsigned char>(code & 0xFF)));
    }
    return scrambled;
}

ClsUser::ClsUser(Database& db) : m_db(db)
{
    try {
        const long count =
            static_cast<long>(db.Scalar(std::string("SELECT COUNT(*)") + " FROM T_USER").AsLong());
        if (count <= 0)
            return;
        m_users.reserve(static_cast<std::size_t>(count));
        auto rs = db.OpenRecordset(std::string("SELECT ID,Username,Desc,Pwd,Flags ") + " FROM T_USER");
        for (; !rs->Eof(); rs->MoveNext()) {
            User user;
            try {
                user.ID = static_cast<long>(rs->Field("ID").AsLong());
            } catch (const DbError&) {
            }
            user.Username = TextField(*rs, "Username");
            user.Desc = TextField(*rs, "Desc");
            user.Pwd = TextField(*rs, "Pwd");
            user.Flags = FlagsField(*rs);
            m_users.push_back(std::move(user));
        }
    } catch (const DbError& error) {
        // A database without a user table has no users; anything else is logged.
        if (db.TableExists("T_USER"))
            LogError(ToErrorInfo(error));
    }
}

const ClsUser::User& ClsUser::At(int index) const
{
    return m_users[static_cast<std::size_t>(index - 1)];
}

ClsUser::User& ClsUser::At(int index)
{
    return m_users[static_cast<std::size_t>(index - 1)];
}

void ClsUser::Fail(long error, std::string text)
{
    m_lastError = error;
    m_lastErrorText = std::move(text);
}

long ClsUser::EffectiveFlags(const User& user) const
{
    const std::string& admin = AppContext::Current().AdminUser;
    if (!admin.empty() && NameKey(user.Username) == NameKey(admin))
        return user.Flags | kRightAdmin;
    return user.Flags;
}

int ClsUser::Login(const std::string& name, const std::string& password)
{
    const std::string key = NameKey(name);
    for (int i = 1; i <= UserCount(); ++i) {
        if (NameKey(At(i).Username) != key)
            continue;
        if (PasswordMatches(i, password)) {
            m_current = i;
            return i;
        }
    }
    return 0;
}

bool ClsUser::PasswordMatches(int index, const std::string& password) const
{
    return Valid(index) && ScramblePassword(At(index).Username, password) == At(index).Pwd;
}

std::string ClsUser::PfannolaUser() const
{
    return Valid(m_current) ? At(m_current).Username : std::string();
}

long ClsUser::PfannolaUserFlag() const
{
    return Valid(m_current) ? EffectiveFlags(At(m_current)) : 0;
}

bool ClsUser::PfannolaUserCheck(int bit) const
{
    if (!Valid(m_current) || bit < 1 || bit > 31)
        return false;
    return (static_cast<std::uint32_t>(PfannolaUserFlag()) & (std::uint32_t{1} << bit)) != 0;
}

bool ClsUser::PfannolaUserPassword(const std::string& newPassword)
{
    if (!Valid(m_current))
        return false;
    SetUserPassword(m_current, newPassword);
    return Save(m_current);
}

LoggedInUser ClsUser::Current() const
{
    LoggedInUser user;
    user.UsersEnabled = AreUsersEnabled();
    user.Name = PfannolaUser();
    user.Flags = PfannolaUserFlag();
    return user;
}

long ClsUser::UserID(int index) const
{
    return Valid(index) ? At(index).ID : 0;
}

std::string ClsUser::Username(int index) const
{
    return Valid(index) ? At(index).Username : std::string();
}

void ClsUser::SetUsername(int index, const std::string& name)
{
    if (Valid(index))
        At(index).Username = std::string(Trim(name));
}

std::string ClsUser::UserDesc(int index) const
{
    return Valid(index) ? At(index).Desc : std::string();
}

void ClsUser::SetUserDesc(int index, const std::string& desc)
{
    if (Valid(index))
        At(index).Desc = desc;
}

long ClsUser::Userflag(int index) const
{
    return Valid(index) ? At(index).Flags : 0;
}

void ClsUser::SetUserflag(int index, long flags)
{
    // Flags is a 32-bit column: the highest right is the sign bit.
    if (Valid(index))
        At(index).Flags = static_cast<std::int32_t>(static_cast<std::uint32_t>(flags));
}

std::string ClsUser::UserPassword(int index) const
{
    return Valid(index) ? At(index).Pwd : std::string();
}

void ClsUser::SetUserPassword(int index, const std::string& password)
{
    if (Valid(index))
        At(index).Pwd = ScramblePassword(At(index).Username, password);
}

void ClsUser::RestorePassword(int index, const std::string& stored)
{
    if (Valid(index))
        At(index).Pwd = stored;
}

int ClsUser::NewUser(const std::string& name)
{
    User user;
    user.Username = std::string(Trim(name));
    user.Pwd = ScramblePassword(user.Username, "");
    m_users.push_back(std::move(user));
    return UserCount();
}

bool ClsUser::NameTaken(int index, const std::string& name) const
{
    const std::string key = NameKey(name);
    for (int i = 1; i <= UserCount(); ++i)
        if (i != index && NameKey(At(i).Username) == key)
            return true;
    return false;
}

bool ClsUser::Save(int index)
{
    Fail(0, {});
    if (!Valid(index))
        return false;
    User& user = At(index);
    if (Trim(user.Username).empty()) {
        Fail(-1, "Bitte einen Benutzernamen eingeben.");
        return false;
    }
    if (CharLength(user.Username) > kMaxNameLength) {
        Fail(-1, "Der Benutzername darf höchstens 50 Zeichen lang sein.");
        return false;
    }
    if (NameTaken(index, user.Username)) {
        Fail(-2, kNameTaken);
        return false;
    }
    bool administrator = false;
    for (int i = 1; i <= UserCount(); ++i)
        if ((i == index || At(i).ID != 0) && (At(i).Flags & kRightAdmin) != 0)
            administrator = true;
    if (!administrator) {
        Fail(-4, "Mindestens ein Benutzer muss Systemverwalter sein.");
        return false;
    }
    try {
        DbTransaction transaction(m_db);
        // Another workstation may have added the same name since the list was read.
        auto same = m_db.OpenRecordset("SELECT ID,Username FROM T_USER");
        for (; !same->Eof(); same->MoveNext())
            if (same->Field("ID").AsLong() != user.ID &&
                NameKey(TextField(*same, "Username")) == NameKey(user.Username)) {
                Fail(-2, kNameTaken);
                return false;
            }
        long id = user.ID;
        if (id == 0)
            id = static_cast<long>(m_db.Scalar("SELECT MAX(ID) FROM T_USER").AsLong()) + 1;
        auto rs = m_db.OpenRecordset("SELECT * FROM T_USER WHERE ID=" + std::to_string(id));
        if (rs->Eof()) {
            rs->AddNew();
            rs->SetField("ID", Value(id));
        } else {
            rs->Edit();
        }
        rs->SetField("Username", Value(user.Username));
        rs->SetField("Desc", Value(user.Desc));
        rs->SetField("Flags", Value(user.Flags));
        rs->SetField("Pwd", Value(user.Pwd));
        rs->Update();
        transaction.Commit();
        user.ID = id;
        return true;
    } catch (const DbError& error) {
        LogError(ToErrorInfo(error));
        Fail(error.Number(), "Der Benutzer konnte nicht gespeichert werden (Fehler " +
                                 std::to_string(error.Number()) +
                                 "). Einzelheiten stehen im Fehlerprotokoll.");
        return false;
    }
}

bool ClsUser::IsLastAdministrator(int index) const
{
    if (!Valid(index) || (At(index).Flags & kRightAdmin) == 0)
        return false;
    for (int i = 1; i <= UserCount(); ++i)
        if (i != index && (At(i).Flags & kRightAdmin) != 0)
            return false;
    return true;
}

bool ClsUser::DeleteUser(int index)
{
    Fail(0, {});
    if (!Valid(index))
        return false;
    if (IsLastAdministrator(index)) {
        Fail(-3, kLastAdministrator);
        return false;
    }
    try {
        if (At(index).ID != 0)
            m_db.Execute("DELETE FROM T_USER WHERE ID=" + std::to_string(At(index).ID));
    } catch (const DbError& error) {
        LogError(ToErrorInfo(error));
        Fail(error.Number(), "Der Benutzer konnte nicht gelöscht werden (Fehler " +
                                 std::to_string(error.Number()) +
                                 "). Einzelheiten stehen im Fehlerprotokoll.");
        return false;
    }
    m_users.erase(m_users.begin() + (index - 1));
    if (m_current == index)
        m_current = 0;
    else if (m_current > index)
        --m_current;
    return true;
}

} // namespace pf
