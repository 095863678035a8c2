#include "Messages.h"

#include <cerrno>
#include <cstring>

#include "Codepage.h"

namespace engine::msg {

namespace {

std::string u(std::string_view cp1250) { return cp1250ToUtf8(cp1250); }

}  // namespace

Status folderMissing(std::string_view folder)
{
    return Status::error(ErrorCode::NotFound, "Az adatbázis mappa nem létezik: " + std::string(folder));
}

Status tableMissing(std::string_view table)
{
    return Status::error(ErrorCode::NotFound, "A(z) " + u(table) + " tábla nem létezik.");
}

Status tableMissingIn(std::string_view table, std::string_view folder)
{
    return Status::error(ErrorCode::NotFound,
                         "A(z) " + u(table) + " tábla nem létezik ebben az adatbázis mappában: " + std::string(folder));
}

Status tableExists(std::string_view table)
{
    return Status::error(ErrorCode::AlreadyExists, "A(z) " + u(table) + " tábla már létezik.");
}

Status fieldMissing(std::string_view table, std::string_view field)
{
    return Status::error(ErrorCode::NotFound,
                         "A(z) " + u(table) + " táblában nincs " + u(field) + " nevű mező.");
}

Status fieldExists(std::string_view table, std::string_view field)
{
    return Status::error(ErrorCode::AlreadyExists,
                         "A(z) " + u(table) + " táblában már van " + u(field) + " nevű mező.");
}

Status indexMissing(std::string_view table, std::string_view index)
{
    return Status::error(ErrorCode::NotFound,
                         "A(z) " + u(table) + " táblának nincs " + u(index) + " nevű indexe.");
}

Status indexExists(std::string_view table, std::string_view index)
{
    return Status::error(ErrorCode::AlreadyExists,
                         "A(z) " + u(table) + " táblának már van " + u(index) + " nevű indexe.");
}

Status noIndexForFields(std::string_view table, std::string_view fields)
{
    return Status::error(ErrorCode::NotFound,
                         "A(z) " + u(table) + " táblának nincs indexe a következő mezőkre: " + u(fields) + ".");
}

Status noPrimaryKey(std::string_view table)
{
    return Status::error(ErrorCode::Unsupported, "A(z) " + u(table) + " táblának nincs elsődleges kulcsa.");
}

Status rowMissing(std::string_view table)
{
    return Status::error(ErrorCode::NotFound,
                         "A sor már nem található a(z) " + u(table) + " táblában (közben módosították vagy törölték).");
}

Status duplicateKey(std::string_view table, std::string_view keyText)
{
    return Status::error(ErrorCode::DuplicateKey,
                         "Kulcsmegsértés: a(z) " + u(table) + " táblában már van sor ezzel a kulccsal: " +
                             u(keyText) + ".");
}

Status textTooLong(std::string_view field, int maxChars)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(field) + " mező szövege túl hosszú (legfeljebb " +
                                                      std::to_string(maxChars) + " karakter lehet).");
}

Status wrongKind(std::string_view field)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(field) + " mezőbe ilyen típusú érték nem írható.");
}

Status outOfRange(std::string_view field)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(field) + " mező értéke kívül esik a megengedett tartományon.");
}

Status keyBlank(std::string_view field)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(field) + " kulcsmező nem lehet üres.");
}

Status recordShape(std::string_view table, size_t given, size_t expected)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(table) + " tábla sorának " + std::to_string(expected) +
                                                      " mezője van, de " + std::to_string(given) +
                                                      " érték érkezett.");
}

Status badDefinition(std::string_view table, std::string_view what)
{
    return Status::error(ErrorCode::InvalidValue, "Hibás táblaszerkezet (" + u(table) + "): " + std::string(what));
}

Status primaryNotLeading(std::string_view table)
{
    return Status::error(ErrorCode::InvalidValue, "A(z) " + u(table) +
                                                      " tábla elsődleges kulcsa csak a tábla első mezőiből állhat.");
}

Status tableFull(std::string_view table)
{
    return Status::error(ErrorCode::Unsupported, "A(z) " + u(table) + " tábla megtelt, több sor nem fér el benne.");
}

Status readOnly(std::string_view table)
{
    return Status::error(ErrorCode::ReadOnly, "A(z) " + u(table) + " tábla csak olvasásra van megnyitva.");
}

Status needsExclusive(std::string_view table)
{
    return Status::error(ErrorCode::Locked,
                         "A(z) " + u(table) + " tábla szerkezetének módosításához kizárólagos megnyitás szükséges.");
}

Status tableInUse(std::string_view table)
{
    return Status::error(ErrorCode::Locked, "A tábla használatban van: " + u(table));
}

Status transactionOpen(std::string_view table)
{
    return Status::error(ErrorCode::Unsupported,
                         "A(z) " + u(table) + " táblán tranzakció folyik; ehhez előbb le kell zárni.");
}

Status noTransaction(std::string_view table)
{
    return Status::error(ErrorCode::Unsupported, "A(z) " + u(table) + " táblán nem folyik tranzakció.");
}

Status fileInUse(std::string_view path)
{
    return Status::error(ErrorCode::Locked, "A fájl használatban van: " + u(path));
}

Status corrupt(std::string_view fileName, std::string_view detail)
{
    return Status::error(ErrorCode::Corrupt, "A(z) " + u(fileName) + " fájl sérült: " + std::string(detail));
}

Status journalSetAside(std::string_view journal, std::string_view aside)
{
    return Status::error(ErrorCode::Corrupt, "A(z) " + u(journal) + " fájl sérült: a napló másolata " + u(aside) +
                                                 " néven félretéve; a tábla a napló ép részével nyitható meg újra.");
}

Status ioError(std::string_view path, int err)
{
    std::string reason;
    switch (err) {
    case ENOSPC: reason = "nincs elég hely a lemezen."; break;
    case EDQUOT: reason = "elfogyott a lemezkvóta."; break;
    case EACCES:
    case EPERM: reason = "nincs hozzá jogosultság."; break;
    case EROFS: reason = "a lemez csak olvasható."; break;
    case ENOENT: reason = "a fájl nem található."; break;
    case EIO: reason = "a lemez írása vagy olvasása nem sikerült."; break;
    case EMFILE:
    case ENFILE: reason = "túl sok fájl van nyitva."; break;
    default: reason = "rendszerhiba " + std::to_string(err) + " (" + std::strerror(err) + ")."; break;
    }
    return Status::error(ErrorCode::IoError, "Fájlművelet sikertelen (" + u(path) + "): " + reason);
}

}  // namespace engine::msg
