#include "DataSetInternal.h"

namespace dbmsg {

QString notActive() { return QStringLiteral("Az adathalmaz nincs megnyitva."); }

QString noConnection() { return QStringLiteral("Az adathalmazhoz nem tartozik adatbázis-kapcsolat."); }

QString noFolder() { return QStringLiteral("Az adatbázis-kapcsolatnak nincs megadva mappája (PATH=)."); }

QString folderMissing(const QString& folder)
{
    return QStringLiteral("Az adatbázis mappája nem található: %1").arg(folder);
}

QString readOnlyDataSet() { return QStringLiteral("Az adathalmaz csak olvasható, nem módosítható."); }

QString readOnlyQuery() { return QStringLiteral("A lekérdezés eredménye csak olvasható, nem módosítható."); }

QString noTableName() { return QStringLiteral("Nincs megadva a tábla neve."); }

QString notEditing(const QString& field)
{
    return QStringLiteral("A(z) „%1” mező csak szerkesztés vagy új sor felvétele közben módosítható.").arg(field);
}

QString fieldNotFound(const QString& field)
{
    return QStringLiteral("A(z) „%1” mező nem található.").arg(field);
}

QString emptyDataSet() { return QStringLiteral("Nincs törölhető sor: az adathalmaz üres."); }

QString textTooLong(const QString& field, int size, int length)
{
    return QStringLiteral("A(z) „%1” mezőbe legfeljebb %2 karakter írható; a megadott szöveg %3 karakter hosszú.")
        .arg(field)
        .arg(size)
        .arg(length);
}

QString badCharacter(const QString& field, const QString& character)
{
    return QStringLiteral("A(z) „%1” mezőbe nem írható a(z) %2 karakter: nem szerepel a Windows-1250 kódlapban.")
        .arg(field, character);
}

QString badCharacterInText(const QString& character)
{
    return QStringLiteral("A szövegben olyan karakter van, amely nem szerepel a Windows-1250 kódlapban: %1")
        .arg(character);
}

QString notInteger(const QString& text, const QString& field)
{
    return QStringLiteral("„%1” nem érvényes egész szám (mező: „%2”).").arg(text, field);
}

QString outOfRange(const QString& text, const QString& field)
{
    return QStringLiteral("„%1” kívül esik a(z) „%2” mező értéktartományán.").arg(text, field);
}

QString notNumber(const QString& text, const QString& field)
{
    return QStringLiteral("„%1” nem érvényes szám (mező: „%2”).").arg(text, field);
}

QString notDate(const QString& text, const QString& field)
{
    return QStringLiteral("„%1” nem érvényes dátum (mező: „%2”).").arg(text, field);
}

QString notLogical(const QString& text, const QString& field)
{
    return QStringLiteral("„%1” nem érvényes logikai érték (mező: „%2”).").arg(text, field);
}

QString autoIncField(const QString& field)
{
    return QStringLiteral("A(z) „%1” mező értékét az adatbázis adja, nem módosítható.").arg(field);
}

QString lookupField(const QString& field)
{
    return QStringLiteral("A(z) „%1” mező egy másik táblából mutat nevet, nem módosítható.").arg(field);
}

QString badFilter(const QString& filter, const QString& reason)
{
    return QStringLiteral("Hibás szűrőfeltétel („%1”): %2").arg(filter, reason);
}

QString noRows() { return QStringLiteral("A lekérdezés nem ad vissza sorokat."); }

QString locateValueCount()
{
    return QStringLiteral("A kereséshez ugyanannyi értéket kell megadni, ahány mezőt.");
}

QString lookupKeyMissing(const QString& lookup, const QString& field)
{
    return QStringLiteral("A(z) „%1” mezőhöz megadott „%2” kapcsolómező nem található.").arg(lookup, field);
}

QString badParam(const QString& name)
{
    return QStringLiteral("A(z) „%1” paraméter értéke nem megfelelő típusú.").arg(name);
}

QString rowGone()
{
    return QStringLiteral("A sort közben törölték vagy módosították; frissítse a listát.");
}

}  // namespace dbmsg
