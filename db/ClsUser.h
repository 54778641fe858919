#pragma once
// The users of a database and the one logged in. Creating a ClsUser reads every row of T_USER
// once; Save and DeleteUser write one row each. Indexes run from 1 to UserCount(); 0 means
// nobody. Passwords are kept scrambled against the user name: the scramble is reversible and only
// keeps the password from being read at a glance (on a server the database roles protect the data).
// A damaged row (NULL or odd Flags, NULL password) is read as far as it goes and never stops the
// others, nor the administrator named by the AdminUser setting, from logging in.

#include "core/UserRights.h"

#include <string>
#include <vector>

namespace pf {

class Database;

class ClsUser
{
public:
    // Reads the users of `db`; a missing user table reads as no users.
    explicit ClsUser(Database& db);

    bool AreUsersEnabled() const { return !m_users.empty(); }
    int UserCount() const { return static_cast<int>(m_users.size()); }

    // The index of the user whose name matches (trimmed, any case) and whose password is right;
    // 0 when there is none. Success makes that user the logged-in one.
    int Login(const std::string& name, const std::string& password);
    int LoggedInIndex() const { return m_current; }
    std::string PfannolaUser() const;
    long PfannolaUserFlag() const;
    // True when a user is logged in, 1 <= bit <= 31 and that bit of Flags is set.
    bool PfannolaUserCheck(int bit) const;
    // Sets and saves the logged-in user's password; false when nobody is logged in or the save failed.
    bool PfannolaUserPassword(const std::string& newPassword);
    // The logged-in user for the program's rights tests (AppContext::User).
    LoggedInUser Current() const;

    long UserID(int index) const;
    std::string Username(int index) const;
    void SetUsername(int index, const std::string& name);
    std::string UserDesc(int index) const;
    void SetUserDesc(int index, const std::string& desc);
    long Userflag(int index) const;
    void SetUserflag(int index, long flags);
    // The stored (scrambled) password.
    std::string UserPassword(int index) const;
    // Stores the scramble of a plain password against the user's current name.
    void SetUserPassword(int index, const std::string& password);
    // Puts back a stored (scrambled) password, as read from UserPassword.
    void RestorePassword(int index, const std::string& stored);
    // True when `password` is the user's password.
    bool PasswordMatches(int index, const std::string& password) const;

    // Adds a user (not yet stored) and returns the new index.
    int NewUser(const std::string& name);
    // Writes the user's row; refuses an empty or taken name (any case, surrounding blanks ignored)
    // and a save that would leave no administrator, with LastErrorText, and then leaves the table
    // as it was.
    bool Save(int index);
    // Deletes the user's row; refuses the last administrator.
    bool DeleteUser(int index);
    // True when the user is an administrator and no other user is.
    bool IsLastAdministrator(int index) const;
    // True when another user than `index` already has this name (trimmed, any case).
    bool NameTaken(int index, const std::string& name) const;

    long LastError() const { return m_lastError; }
    const std::string& LastErrorText() const { return m_lastErrorText; }

    static constexpr int kMaxNameLength = 50;
    static constexpr int kMaxPasswordLength = 64;

private:
    struct User
    {
        long ID = 0; // 0 until first saved
        std::string Username;
        std::string Desc;
        std::string Pwd;
        long Flags = 0;
    };
    bool Valid(int index) const { return index >= 1 && index <= UserCount(); }
    const User& At(int index) const;
    User& At(int index);
    void Fail(long error, std::string text);
    // Flags with the administrator bit added for the user the AdminUser setting names.
    long EffectiveFlags(const User& user) const;

    Database& m_db;
    std::vector<User> m_users;
    int m_current = 0;
    long m_lastError = 0;
    std::string m_lastErrorText;
};

// The stored form of a password: each character's Windows-1252 code XOR the name's character XOR
// its position, name and password repeated to the longer length; an empty password counts as " ".
std::string ScramblePassword(const std::string& name, const std::string& password);

} // namespace pf
