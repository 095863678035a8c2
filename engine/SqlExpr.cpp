#include "SqlExpr.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "Codepage.h"
#include "Collation.h"
#include "SqlLexer.h"

namespace engine::sql {

namespace {


bool isNumeric(Value::Kind k) { return k == Value::Kind::Int || k == Value::Kind::Float; }

// Kinds that compare with each other.
int comparisonClass(Value::Kind k)
{
    switch (k) {
    case Value::Kind::Int:
    case Value::Kind::Float: return 1;
    case Value::Kind::Text: return 2;
    case Value::Kind::Date:
    case Value::Kind::Timestamp: return 3;
    case Value::Kind::Time: return 4;
    case Value::Kind::Bool: return 5;
    case Value::Kind::Bytes: return 6;
    case Value::Kind::Null: return 0;
    }
    return 0;
}

std::string kindName(Value::Kind k)
{
    switch (k) {
    case Value::Kind::Int: return "egész szám";
    case Value::Kind::Float: return "szám";
    case Value::Kind::Text: return "szöveg";
    case Value::Kind::Date: return "dátum";
    case Value::Kind::Timestamp: return "dátum és idő";
    case Value::Kind::Time: return "időpont";
    case Value::Kind::Bool: return "logikai érték";
    case Value::Kind::Bytes: return "bináris adat";
    case Value::Kind::Null: return "NULL";
    }
    return "?";
}

SqlType typeOfKind(Value::Kind k, int textSize = 0)
{
    SqlType t;
    t.kind = k;
    switch (k) {
    case Value::Kind::Int: t.field = FieldType::Long; break;
    case Value::Kind::Float: t.field = FieldType::Number; break;
    case Value::Kind::Bool: t.field = FieldType::Logical; break;
    case Value::Kind::Date: t.field = FieldType::Date; break;
    case Value::Kind::Time: t.field = FieldType::Time; break;
    case Value::Kind::Timestamp: t.field = FieldType::Timestamp; break;
    case Value::Kind::Bytes: t.field = FieldType::Blob; break;
    case Value::Kind::Text:
        t.field = textSize > 255 ? FieldType::Memo : FieldType::Alpha;
        t.size = textSize > 255 ? 0 : std::max(1, textSize);
        break;
    case Value::Kind::Null: t.field = FieldType::Alpha; t.size = 1; break;
    }
    return t;
}

int64_t timestampOf(const Value& v)
{
    if (v.kind() == Value::Kind::Date) return engine::timestampOf(v.asDate(), 0);
    return v.asTimestamp();
}

bool parseDigits(std::string_view s, size_t& i, int minDigits, int maxDigits, int& out)
{
    int n = 0;
    out = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < maxDigits) {
        out = out * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    return n >= minDigits;
}

// 'hh:mm[:ss]' from position i; milliseconds since midnight.
bool parseClock(std::string_view s, size_t& i, int64_t& ms)
{
    int h, m, sec = 0;
    if (!parseDigits(s, i, 1, 2, h) || i >= s.size() || s[i++] != ':' || !parseDigits(s, i, 2, 2, m)) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!parseDigits(s, i, 2, 2, sec)) return false;
    }
    if (h > 23 || m > 59 || sec > 59) return false;
    ms = (int64_t(h) * 3600 + m * 60 + sec) * 1000;
    return true;
}

bool parseTimestamp(std::string_view s, int64_t& ms)
{
    const size_t blank = s.find(' ');
    Date d;
    if (!parseIsoDate(s.substr(0, blank), d)) return false;
    int64_t clock = 0;
    if (blank != std::string_view::npos) {
        size_t i = blank + 1;
        if (!parseClock(s, i, clock) || i != s.size()) return false;
    }
    ms = engine::timestampOf(d, clock);
    return true;
}

bool parseTime(std::string_view s, int64_t& ms)
{
    size_t i = 0;
    return parseClock(s, i, ms) && i == s.size();
}

bool like(std::string_view s, std::string_view p)
{
    size_t si = 0, pi = 0, starP = std::string_view::npos, starS = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '%') {
            starP = pi++;
            starS = si;
        } else if (pi < p.size() && (p[pi] == '_' || p[pi] == s[si])) {
            ++si;
            ++pi;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            si = ++starS;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '%') ++pi;
    return pi == p.size();
}

bool isComparison(BinaryOp op)
{
    return op == BinaryOp::Eq || op == BinaryOp::Ne || op == BinaryOp::Lt || op == BinaryOp::Le ||
           op == BinaryOp::Gt || op == BinaryOp::Ge;
}

bool isCondition(const SqlType& t) { return t.kind == Value::Kind::Bool || t.kind == Value::Kind::Null; }

BoundPtr makeNode(BoundExpr::Kind kind, size_t pos, SqlType type)
{
    auto b = std::make_unique<BoundExpr>();
    b->kind = kind;
    b->pos = pos;
    b->type = type;
    return b;
}

}  // namespace

std::string quote(std::string_view cp1250) { return "„" + cp1250ToShown(cp1250) + "”"; }

SqlType typeOfField(const FieldDef& f)
{
    SqlType t;
    t.kind = valueKindOf(f.type);
    t.field = f.type;
    t.size = f.size;
    return t;
}

bool BoundExpr::usesSlot(int s) const
{
    if (kind == Kind::Column && slot == s) return true;
    for (const auto& a : args)
        if (a->usesSlot(s)) return true;
    return false;
}

bool BoundExpr::usesOnlySlot(int s) const
{
    if (kind == Kind::Column && slot != s) return false;
    if (kind == Kind::AggregateRef) return false;
    for (const auto& a : args)
        if (!a->usesOnlySlot(s)) return false;
    return true;
}

bool parseIsoDate(std::string_view s, Date& out)
{
    size_t i = 0;
    int y, m, d;
    if (!parseDigits(s, i, 4, 4, y) || i >= s.size() || s[i++] != '-' || !parseDigits(s, i, 1, 2, m) ||
        i >= s.size() || s[i++] != '-' || !parseDigits(s, i, 1, 2, d) || i != s.size())
        return false;
    if (!Date::isValidYmd(y, m, d)) return false;
    out = Date::fromYmd(y, m, d);
    return true;
}

Status Binder::typeError(size_t pos, const std::string& what) const
{
    return Status::error(ErrorCode::InvalidValue, "Típushiba " + describePlace(sql_, pos) + ": " + what + ".");
}

Status Binder::resolve(const std::string& table, const std::string& name, size_t pos, int& slot, int& field) const
{
    slot = field = -1;
    if (!table.empty()) {
        for (size_t s = 0; s < slots_.size() && slot < 0; ++s)
            if (!slots_[s].alias.empty() && sameName(slots_[s].alias, table)) slot = int(s);
        for (size_t s = 0; s < slots_.size() && slot < 0; ++s)
            if (sameName(slots_[s].name, table)) slot = int(s);
        if (slot < 0)
            return Status::error(ErrorCode::NotFound, "Ismeretlen tábla: " + quote(table) + " (" +
                                                          describePlace(sql_, pos) + ").");
        field = slots_[slot].table->def().fieldIndex(name);
        if (field < 0)
            return Status::error(ErrorCode::NotFound, "Ismeretlen mező: " + quote(table + "." + name) + " (" +
                                                          describePlace(sql_, pos) + ").");
        return Status::ok();
    }
    for (size_t s = 0; s < slots_.size(); ++s) {
        const int f = slots_[s].table->def().fieldIndex(name);
        if (f < 0) continue;
        if (slot >= 0)
            return Status::error(ErrorCode::Syntax, "Nem egyértelmű mezőnév: " + quote(name) +
                                                        " több táblában is van; írja elé a tábla nevét (" +
                                                        describePlace(sql_, pos) + ").");
        slot = int(s);
        field = f;
    }
    if (slot < 0)
        return Status::error(ErrorCode::NotFound,
                             "Ismeretlen mező: " + quote(name) + " (" + describePlace(sql_, pos) + ").");
    return Status::ok();
}

Result<BoundPtr> Binder::bind(const Expr& e, std::vector<AggregateSpec>* aggregates) const
{
    switch (e.kind) {
    case Expr::Kind::Column: {
        int slot, field;
        if (auto st = resolve(e.table, e.name, e.pos, slot, field); !st.isOk()) return st;
        auto b = makeNode(BoundExpr::Kind::Column, e.pos, typeOfField(slots_[slot].table->def().fields[field]));
        b->slot = slot;
        b->field = field;
        return b;
    }
    case Expr::Kind::Literal: {
        const int size = e.value.kind() == Value::Kind::Text ? int(e.value.asText().size()) : 0;
        auto b = makeNode(BoundExpr::Kind::Const, e.pos, typeOfKind(e.value.kind(), size));
        b->constant = e.value;
        return b;
    }
    case Expr::Kind::Param: {
        for (const auto& p : params_) {
            if (!sameName(p.name, e.name)) continue;
            const int size = p.value.kind() == Value::Kind::Text ? int(p.value.asText().size()) : 0;
            auto b = makeNode(BoundExpr::Kind::Const, e.pos, typeOfKind(p.value.kind(), size));
            b->constant = p.value;
            return b;
        }
        return Status::error(ErrorCode::NotFound, "Hiányzó paraméter: " + quote(":" + e.name) + " (" +
                                                      describePlace(sql_, e.pos) + ").");
    }
    case Expr::Kind::Not:
    case Expr::Kind::Negate: {
        auto a = bind(*e.args[0], aggregates);
        if (!a.isOk()) return a;
        const bool isNot = e.kind == Expr::Kind::Not;
        if (isNot && !isCondition((*a)->type)) return typeError(e.pos, "a NOT után feltétel várható");
        if (!isNot && !isNumeric((*a)->type.kind) && (*a)->type.kind != Value::Kind::Null)
            return typeError(e.pos, "előjelet csak szám kaphat");
        auto b = makeNode(isNot ? BoundExpr::Kind::Not : BoundExpr::Kind::Negate, e.pos,
                          isNot ? typeOfKind(Value::Kind::Bool) : (*a)->type);
        b->args.push_back(std::move(*a));
        return b;
    }
    case Expr::Kind::Binary: {
        auto l = bind(*e.args[0], aggregates);
        if (!l.isOk()) return l;
        auto r = bind(*e.args[1], aggregates);
        if (!r.isOk()) return r;
        const SqlType lt = (*l)->type, rt = (*r)->type;
        if (isComparison(e.op)) return bindComparison(e, std::move(*l), std::move(*r));
        SqlType result;
        if (e.op == BinaryOp::And || e.op == BinaryOp::Or) {
            if (!isCondition(lt) || !isCondition(rt))
                return typeError(e.pos, std::string("az ") + (e.op == BinaryOp::And ? "AND" : "OR") +
                                            " két oldalán feltétel várható");
            result = typeOfKind(Value::Kind::Bool);
        } else if (e.op == BinaryOp::Concat) {
            if ((lt.kind != Value::Kind::Text && lt.kind != Value::Kind::Null) ||
                (rt.kind != Value::Kind::Text && rt.kind != Value::Kind::Null))
                return typeError(e.pos, "a || csak szövegeket fűz össze");
            const bool memo = lt.field != FieldType::Alpha || rt.field != FieldType::Alpha;
            result = typeOfKind(Value::Kind::Text, memo ? 256 : lt.size + rt.size);
        } else {
            const bool lNum = isNumeric(lt.kind), rNum = isNumeric(rt.kind);
            const bool lNull = lt.kind == Value::Kind::Null, rNull = rt.kind == Value::Kind::Null;
            if ((lNum || lNull) && (rNum || rNull)) {
                const bool integer = (lt.kind == Value::Kind::Int || lNull) && (rt.kind == Value::Kind::Int || rNull);
                result = typeOfKind(integer ? Value::Kind::Int : Value::Kind::Float);
            } else if (lt.kind == Value::Kind::Date && (rt.kind == Value::Kind::Int || rNull) &&
                       (e.op == BinaryOp::Add || e.op == BinaryOp::Sub)) {
                result = typeOfKind(Value::Kind::Date);
            } else if (lt.kind == Value::Kind::Int && rt.kind == Value::Kind::Date && e.op == BinaryOp::Add) {
                result = typeOfKind(Value::Kind::Date);
            } else if (lt.kind == Value::Kind::Date && rt.kind == Value::Kind::Date && e.op == BinaryOp::Sub) {
                result = typeOfKind(Value::Kind::Int);
            } else {
                return typeError(e.pos, kindName(lt.kind) + " és " + kindName(rt.kind) +
                                            " között nem végezhető ilyen művelet");
            }
        }
        auto b = makeNode(BoundExpr::Kind::Binary, e.pos, result);
        b->op = e.op;
        b->args.push_back(std::move(*l));
        b->args.push_back(std::move(*r));
        return b;
    }
    case Expr::Kind::Like: {
        auto l = bind(*e.args[0], aggregates);
        if (!l.isOk()) return l;
        auto r = bind(*e.args[1], aggregates);
        if (!r.isOk()) return r;
        for (const auto* side : {&*l, &*r}) {
            const Value::Kind k = (*side)->type.kind;
            if (k != Value::Kind::Text && k != Value::Kind::Null)
                return typeError(e.pos, "a LIKE csak szövegre használható, itt " + kindName(k) + " áll");
        }
        auto b = makeNode(BoundExpr::Kind::Like, e.pos, typeOfKind(Value::Kind::Bool));
        b->negated = e.negated;
        b->args.push_back(std::move(*l));
        b->args.push_back(std::move(*r));
        return b;
    }
    case Expr::Kind::IsNull: {
        auto a = bind(*e.args[0], aggregates);
        if (!a.isOk()) return a;
        auto b = makeNode(BoundExpr::Kind::IsNull, e.pos, typeOfKind(Value::Kind::Bool));
        b->negated = e.negated;
        b->args.push_back(std::move(*a));
        return b;
    }
    case Expr::Kind::Function: {
        auto a = bind(*e.args[0], aggregates);
        if (!a.isOk()) return a;
        const Value::Kind k = (*a)->type.kind;
        if (k != Value::Kind::Text && k != Value::Kind::Null)
            return typeError(e.pos, "a(z) " + e.name + " szöveget vár, itt " + kindName(k) + " áll");
        auto b = makeNode(e.name == "UPPER" ? BoundExpr::Kind::Upper : BoundExpr::Kind::Lower, e.pos, (*a)->type);
        b->args.push_back(std::move(*a));
        return b;
    }
    case Expr::Kind::Aggregate: {
        if (!aggregates)
            return Status::error(ErrorCode::Syntax, "Szintaktikai hiba " + describePlace(sql_, e.pos) + ": a(z) " +
                                                        e.name + " összesítő függvény itt nem használható.");
        AggregateSpec aggregate;
        aggregate.function = e.name;
        aggregate.star = e.star;
        aggregate.distinct = e.distinct;
        if (!e.star) {
            auto a = bind(*e.args[0], nullptr);
            if (!a.isOk()) return a;
            aggregate.arg = std::move(*a);
        }
        const Value::Kind argKind = aggregate.arg ? aggregate.arg->type.kind : Value::Kind::Null;
        if (aggregate.function == "COUNT") {
            aggregate.type = typeOfKind(Value::Kind::Int);
        } else if (aggregate.function == "SUM" || aggregate.function == "AVG") {
            if (!isNumeric(argKind) && argKind != Value::Kind::Null)
                return typeError(e.pos,
                                 "a(z) " + aggregate.function + " számot vár, itt " + kindName(argKind) + " áll");
            aggregate.type = typeOfKind(aggregate.function == "SUM" && argKind == Value::Kind::Int
                                            ? Value::Kind::Int
                                            : Value::Kind::Float);
        } else {
            aggregate.type = aggregate.arg->type;
        }
        auto b = makeNode(BoundExpr::Kind::AggregateRef, e.pos, aggregate.type);
        b->aggregate = int(aggregates->size());
        aggregates->push_back(std::move(aggregate));
        return b;
    }
    }
    return typeError(e.pos, "ismeretlen kifejezés");
}

Result<BoundPtr> Binder::bindComparison(const Expr& e, BoundPtr l, BoundPtr r) const
{
    // A quoted constant compared with a date, time or timestamp is read as one.
    for (int side = 0; side < 2; ++side) {
        BoundExpr& c = side == 0 ? *l : *r;
        const BoundExpr& other = side == 0 ? *r : *l;
        const Value::Kind target = other.type.kind;
        if (c.kind != BoundExpr::Kind::Const || c.constant.kind() != Value::Kind::Text) continue;
        const std::string& text = c.constant.asText();
        if (target == Value::Kind::Date) {
            Date d;
            if (!parseIsoDate(text, d))
                return typeError(c.pos, "érvénytelen dátum: " + quote(text) + " (a dátum alakja éééé-hh-nn)");
            c.constant = Value::fromDate(d);
        } else if (target == Value::Kind::Timestamp) {
            int64_t ms;
            if (!parseTimestamp(text, ms))
                return typeError(c.pos, "érvénytelen időbélyeg: " + quote(text) + " (alakja éééé-hh-nn óó:pp:mm)");
            c.constant = Value::fromTimestamp(ms);
        } else if (target == Value::Kind::Time) {
            int64_t ms;
            if (!parseTime(text, ms)) return typeError(c.pos, "érvénytelen időpont: " + quote(text) + " (alakja óó:pp:mm)");
            c.constant = Value::fromTime(int32_t(ms));
        } else {
            continue;
        }
        c.type = typeOfKind(c.constant.kind());
    }
    const int lc = comparisonClass(l->type.kind), rc = comparisonClass(r->type.kind);
    if (lc != 0 && rc != 0 && lc != rc)
        return typeError(e.pos, kindName(l->type.kind) + " és " + kindName(r->type.kind) + " nem hasonlítható össze");
    auto b = makeNode(BoundExpr::Kind::Binary, e.pos, typeOfKind(Value::Kind::Bool));
    b->op = e.op;
    b->args.push_back(std::move(l));
    b->args.push_back(std::move(r));
    return b;
}

int compareValues(const Value& a, const Value& b)
{
    auto three = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (a.kind()) {
    case Value::Kind::Int:
        if (b.kind() == Value::Kind::Int) return three(a.asInt(), b.asInt());
        return three(double(a.asInt()), b.asFloat());
    case Value::Kind::Float:
        return three(a.asFloat(), b.kind() == Value::Kind::Int ? double(b.asInt()) : b.asFloat());
    case Value::Kind::Text:
        return compareText(a.asText(), b.asText());
    case Value::Kind::Date:
        if (b.kind() == Value::Kind::Date) return three(a.asDate().serial, b.asDate().serial);
        return three(timestampOf(a), timestampOf(b));
    case Value::Kind::Timestamp:
        return three(timestampOf(a), timestampOf(b));
    case Value::Kind::Time:
        return three(a.asTime(), b.asTime());
    case Value::Kind::Bool:
        return three(int(a.asBool()), int(b.asBool()));
    case Value::Kind::Bytes: {
        const std::string &x = a.asText(), &y = b.asText();
        const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
        return c != 0 ? (c < 0 ? -1 : 1) : three(x.size(), y.size());
    }
    case Value::Kind::Null:
        break;
    }
    return 0;
}

namespace {

void fail(EvalContext& ctx, ErrorCode code, const std::string& message)
{
    if (ctx.error.isOk()) ctx.error = Status::error(code, message);
}

Value arithmetic(const BoundExpr& e, const Value& a, const Value& b, EvalContext& ctx)
{
    if (e.op == BinaryOp::Concat) return Value::fromText(a.asText() + b.asText());
    if (a.kind() == Value::Kind::Date || b.kind() == Value::Kind::Date) {
        if (a.kind() == Value::Kind::Date && b.kind() == Value::Kind::Date)
            return Value::fromInt(a.asDate().serial - b.asDate().serial);
        const Date d = a.kind() == Value::Kind::Date ? a.asDate() : b.asDate();
        const int64_t n = a.kind() == Value::Kind::Date ? b.asInt() : a.asInt();
        const int64_t serial = e.op == BinaryOp::Add ? d.serial + n : d.serial - n;
        if (serial < 1 || serial > Date::fromYmd(9999, 12, 31).serial) {
            fail(ctx, ErrorCode::InvalidValue, "A dátum kívül esik a tárolható tartományon.");
            return Value();
        }
        return Value::fromDate(Date{int32_t(serial)});
    }
    if (a.kind() == Value::Kind::Int && b.kind() == Value::Kind::Int) {
        const int64_t x = a.asInt(), y = b.asInt();
        int64_t r = 0;
        bool overflow = false;
        switch (e.op) {
        case BinaryOp::Add: overflow = __builtin_add_overflow(x, y, &r); break;
        case BinaryOp::Sub: overflow = __builtin_sub_overflow(x, y, &r); break;
        case BinaryOp::Mul: overflow = __builtin_mul_overflow(x, y, &r); break;
        default:
            if (y == 0) {
                fail(ctx, ErrorCode::InvalidValue, "Nullával való osztás.");
                return Value();
            }
            if (x == std::numeric_limits<int64_t>::min() && y == -1) overflow = true;
            else r = x / y;
        }
        if (overflow) {
            fail(ctx, ErrorCode::InvalidValue, "Túl nagy szám (túlcsordulás).");
            return Value();
        }
        return Value::fromInt(r);
    }
    const double x = a.kind() == Value::Kind::Int ? double(a.asInt()) : a.asFloat();
    const double y = b.kind() == Value::Kind::Int ? double(b.asInt()) : b.asFloat();
    switch (e.op) {
    case BinaryOp::Add: return Value::fromFloat(x + y);
    case BinaryOp::Sub: return Value::fromFloat(x - y);
    case BinaryOp::Mul: return Value::fromFloat(x * y);
    default:
        if (y == 0) {
            fail(ctx, ErrorCode::InvalidValue, "Nullával való osztás.");
            return Value();
        }
        return Value::fromFloat(x / y);
    }
}

}  // namespace

namespace {

// The value `e` stands for when it is held already (a constant, a field of
// the run read ahead), so that a test of every row need not copy it; null
// when it has to be worked out.
const Value* heldValue(const BoundExpr& e, const EvalContext& ctx)
{
    if (e.kind == BoundExpr::Kind::Const) return &e.constant;
    if (e.kind == BoundExpr::Kind::Column && e.slot == 0 && ctx.rows[0] != kNoRow && ctx.ahead &&
        ctx.ahead->column[size_t(e.field)] >= 0)
        return &ctx.ahead->values[size_t(ctx.ahead->column[size_t(e.field)])][ctx.ahead->row];
    return nullptr;
}

// `e`'s value, from where it is held or worked out into `scratch`.
const Value& valueOf(const BoundExpr& e, EvalContext& ctx, Value& scratch)
{
    if (const Value* held = heldValue(e, ctx)) return *held;
    scratch = evaluate(e, ctx);
    return scratch;
}

}  // namespace

Value evaluate(const BoundExpr& e, EvalContext& ctx)
{
    switch (e.kind) {
    case BoundExpr::Kind::Column: {
        const RowId row = ctx.rows[e.slot];
        if (row == kNoRow) return Value();
        if (e.slot == 0 && ctx.ahead && ctx.ahead->column[size_t(e.field)] >= 0)
            return ctx.ahead->values[size_t(ctx.ahead->column[size_t(e.field)])][ctx.ahead->row];
        auto v = (*ctx.slots)[e.slot].table->readField(row, e.field);
        if (!v.isOk()) {
            if (ctx.error.isOk()) ctx.error = v.status();
            return Value();
        }
        return std::move(*v);
    }
    case BoundExpr::Kind::Const:
        return e.constant;
    case BoundExpr::Kind::Not: {
        const Value v = evaluate(*e.args[0], ctx);
        return v.isNull() ? Value() : Value::fromBool(!v.asBool());
    }
    case BoundExpr::Kind::Negate: {
        const Value v = evaluate(*e.args[0], ctx);
        if (v.isNull()) return v;
        if (v.kind() == Value::Kind::Float) return Value::fromFloat(-v.asFloat());
        if (v.asInt() == std::numeric_limits<int64_t>::min()) {
            fail(ctx, ErrorCode::InvalidValue, "Túl nagy szám (túlcsordulás).");
            return Value();
        }
        return Value::fromInt(-v.asInt());
    }
    case BoundExpr::Kind::Binary: {
        if (e.op == BinaryOp::And || e.op == BinaryOp::Or) {
            const bool isAnd = e.op == BinaryOp::And;
            const Value l = evaluate(*e.args[0], ctx);
            // FALSE decides an AND, TRUE an OR, whatever the other side.
            if (!l.isNull() && l.asBool() != isAnd) return l;
            const Value r = evaluate(*e.args[1], ctx);
            if (!r.isNull() && r.asBool() != isAnd) return r;
            if (l.isNull() || r.isNull()) return Value();
            return Value::fromBool(isAnd);
        }
        const Value l = evaluate(*e.args[0], ctx);
        if (l.isNull()) return Value();
        const Value r = evaluate(*e.args[1], ctx);
        if (r.isNull()) return Value();
        if (!isComparison(e.op)) return arithmetic(e, l, r, ctx);
        if (l.kind() == Value::Kind::Text && r.kind() == Value::Kind::Text &&
            (e.op == BinaryOp::Eq || e.op == BinaryOp::Ne))
            return Value::fromBool((l.asText() == r.asText()) == (e.op == BinaryOp::Eq));
        const int c = compareValues(l, r);
        switch (e.op) {
        case BinaryOp::Eq: return Value::fromBool(c == 0);
        case BinaryOp::Ne: return Value::fromBool(c != 0);
        case BinaryOp::Lt: return Value::fromBool(c < 0);
        case BinaryOp::Le: return Value::fromBool(c <= 0);
        case BinaryOp::Gt: return Value::fromBool(c > 0);
        default: return Value::fromBool(c >= 0);
        }
    }
    case BoundExpr::Kind::Like: {
        Value scratchS, scratchP;
        const Value& s = valueOf(*e.args[0], ctx, scratchS);
        if (s.isNull()) return Value();
        const Value& p = valueOf(*e.args[1], ctx, scratchP);
        if (p.isNull()) return Value();
        return Value::fromBool(like(s.asText(), p.asText()) != e.negated);
    }
    case BoundExpr::Kind::IsNull:
        return Value::fromBool(evaluate(*e.args[0], ctx).isNull() != e.negated);
    case BoundExpr::Kind::Upper:
    case BoundExpr::Kind::Lower: {
        Value scratch;
        const Value& v = valueOf(*e.args[0], ctx, scratch);
        if (v.isNull()) return Value();
        return Value::fromText(e.kind == BoundExpr::Kind::Upper ? upperCp1250(v.asText()) : lowerCp1250(v.asText()));
    }
    case BoundExpr::Kind::AggregateRef:
        return (*ctx.aggregates)[e.aggregate];
    }
    return Value();
}

Result<Value> convertForField(const Value& v, const FieldDef& field)
{
    if (v.isNull()) return v;
    const Value::Kind target = valueKindOf(field.type);
    auto refuse = [&]() -> Status {
        return Status::error(ErrorCode::InvalidValue, "Típushiba: a(z) " + quote(field.name) + " mezőbe (" +
                                                          kindName(target) + ") nem írható " + kindName(v.kind()) +
                                                          ".");
    };
    switch (target) {
    case Value::Kind::Int: {
        int64_t n;
        if (v.kind() == Value::Kind::Int) {
            n = v.asInt();
        } else if (v.kind() == Value::Kind::Float && std::nearbyint(v.asFloat()) == v.asFloat() &&
                   std::fabs(v.asFloat()) < 9e18) {
            n = int64_t(v.asFloat());
        } else {
            return refuse();
        }
        const int64_t limit = field.type == FieldType::Short ? INT16_MAX : INT32_MAX;
        if (n > limit || n < -limit)
            return Status::error(ErrorCode::InvalidValue, "A(z) " + std::to_string(n) + " érték nem fér a(z) " +
                                                              quote(field.name) + " mezőbe.");
        return Value::fromInt(n);
    }
    case Value::Kind::Float:
        if (v.kind() == Value::Kind::Int) return Value::fromFloat(double(v.asInt()));
        if (v.kind() == Value::Kind::Float) return v;
        return refuse();
    case Value::Kind::Text:
        if (v.kind() != Value::Kind::Text) return refuse();
        if (field.type == FieldType::Alpha && int(v.asText().size()) > field.size)
            return Status::error(ErrorCode::InvalidValue,
                                 "A(z) " + quote(field.name) + " mezőbe legfeljebb " + std::to_string(field.size) +
                                     " karakter fér, a szöveg " + std::to_string(v.asText().size()) +
                                     " karakteres: " + quote(v.asText()) + ".");
        return v;
    case Value::Kind::Date:
        if (v.kind() == Value::Kind::Date) return v;
        if (v.kind() == Value::Kind::Text) {
            Date d;
            if (parseIsoDate(v.asText(), d)) return Value::fromDate(d);
            return Status::error(ErrorCode::InvalidValue, "Érvénytelen dátum a(z) " + quote(field.name) +
                                                              " mezőhöz: " + quote(v.asText()) +
                                                              " (a dátum alakja éééé-hh-nn).");
        }
        return refuse();
    case Value::Kind::Timestamp:
        if (v.kind() == Value::Kind::Timestamp) return v;
        if (v.kind() == Value::Kind::Date) return Value::fromTimestamp(timestampOf(v));
        if (v.kind() == Value::Kind::Text) {
            int64_t ms;
            if (parseTimestamp(v.asText(), ms)) return Value::fromTimestamp(ms);
            return Status::error(ErrorCode::InvalidValue, "Érvénytelen időbélyeg a(z) " + quote(field.name) +
                                                              " mezőhöz: " + quote(v.asText()) + ".");
        }
        return refuse();
    case Value::Kind::Time:
        if (v.kind() == Value::Kind::Time) return v;
        if (v.kind() == Value::Kind::Text) {
            int64_t ms;
            if (parseTime(v.asText(), ms)) return Value::fromTime(int32_t(ms));
            return Status::error(ErrorCode::InvalidValue, "Érvénytelen időpont a(z) " + quote(field.name) +
                                                              " mezőhöz: " + quote(v.asText()) + ".");
        }
        return refuse();
    case Value::Kind::Bool:
        if (v.kind() == Value::Kind::Bool) return v;
        return refuse();
    case Value::Kind::Bytes:
        if (v.kind() == Value::Kind::Bytes) return v;
        if (v.kind() == Value::Kind::Text) return Value::fromBytes(v.asText());
        return refuse();
    case Value::Kind::Null:
        break;
    }
    return refuse();
}

}  // namespace engine::sql
