#include "script/Expressions.h"

#include "script/AnsiText.h"
#include "script/Script.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace script {

using platform::VarRelation;
using platform::VarType;
namespace classlib = platform::classlib;

TfsExpressionNode::~TfsExpressionNode()
{
    // Without recursion: a chain of operators (1 + 1 + ...) is a tree as
    // deep as the chain is long.
    std::vector<TfsExpressionNode *> rest;
    const auto take = [&rest](TfsExpressionNode *&node) {
        if (node)
            rest.push_back(std::exchange(node, nullptr));
    };
    take(Left);
    take(Right);
    while (!rest.empty()) {
        TfsExpressionNode *node = rest.back();
        rest.pop_back();
        take(node->Left);
        take(node->Right);
        delete node;
    }
}

bool TfsExpressionNode::TryInt(std::int32_t &out, Variant &other)
{
    Variant v = GetValue();
    if (v.type() == VarType::Integer) {
        out = static_cast<std::int32_t>(v.rawInteger());
        return true;
    }
    other = std::move(v);
    return false;
}

void TfsExpressionNode::AddNode(TfsExpressionNode *node)
{
    if (!Left)
        Left = node;
    else if (!Right)
        Right = node;
    else
        throw TfsExpression::MissingOperand{node->SourcePos};
    node->Parent = this;
}

void TfsExpressionNode::RemoveNode(TfsExpressionNode *node)
{
    if (Left == node)
        Left = nullptr;
    else if (Right == node)
        Right = nullptr;
    node->Parent = nullptr;
}

namespace {

int constantType(const Variant &v)
{
    switch (v.type()) {
    case VarType::Boolean: return fvtBool;
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return fvtFloat;
    case VarType::OleStr:
    case VarType::String: return fvtString;
    default: return fvtInt;
    }
}

} // namespace

TfsOperandNode::TfsOperandNode(const Variant &value)
{
    Value = value;
    Typ = constantType(value);
}

bool TfsOperandNode::TryInt(std::int32_t &out, Variant &other)
{
    if (Value.type() == VarType::Integer) {
        out = static_cast<std::int32_t>(Value.rawInteger());
        return true;
    }
    other = Value;
    return false;
}

TfsDesignatorNode::TfsDesignatorNode(TfsDesignator *designator)
    : TfsOperandNode(Variant::null()), Designator(designator)
{
    Typ = designator->Typ;
    TypeName = designator->TypeName;
    source_ = designator->DKind == DesignatorKind::Variable ? designator->RefItem : designator;
    direct_ = source_->DirectRead;
}

TfsDesignatorNode::~TfsDesignatorNode()
{
    delete Designator;
}

bool TfsDesignatorNode::TryInt(std::int32_t &out, Variant &other)
{
    if (direct_) {
        const Variant &v = source_->Value;
        if (v.type() == VarType::Integer) {
            out = static_cast<std::int32_t>(v.rawInteger());
            return true;
        }
        other = v;
        return false;
    }
    return TfsExpressionNode::TryInt(out, other);
}

TfsSetNode::TfsSetNode(TfsSetExpression *set) : TfsOperandNode(Variant::null()), Set(set)
{
    Typ = fvtVariant;
}

TfsSetNode::~TfsSetNode()
{
    delete Set;
}

int TfsOperatorNode::Priority() const
{
    switch (Op) {
    case OpKind::None: return 7;
    case OpKind::LeftBracket: return 6;
    case OpKind::RightBracket: return 5;
    case OpKind::Great:
    case OpKind::Less:
    case OpKind::LessEq:
    case OpKind::GreatEq:
    case OpKind::NonEq:
    case OpKind::Eq:
    case OpKind::In:
    case OpKind::Is: return 4;
    case OpKind::Plus:
    case OpKind::StrCat:
    case OpKind::Minus:
    case OpKind::Or:
    case OpKind::Xor: return 3;
    case OpKind::Not:
    case OpKind::UnMinus: return 1;
    default: return 2;
    }
}

// ---------------------------------------------------------------------------
// Operator classes

namespace {

class TNoneNode : public TfsOperatorNode {
public:
    TNoneNode() : TfsOperatorNode(OpKind::None) {}
    Variant GetValue() override { return Left ? Left->GetValue() : Variant::null(); }
};

// Brackets leave the tree while it is built.
class TBracketNode : public TfsOperatorNode {
public:
    using TfsOperatorNode::TfsOperatorNode;
    Variant GetValue() override { return Variant::null(); }
};

template <OpKind K>
bool relation(VarRelation r)
{
    switch (K) {
    case OpKind::Great: return r == VarRelation::Greater;
    case OpKind::Less: return r == VarRelation::Less;
    case OpKind::LessEq: return r == VarRelation::Less || r == VarRelation::Equal;
    case OpKind::GreatEq: return r == VarRelation::Greater || r == VarRelation::Equal;
    case OpKind::NonEq: return r != VarRelation::Equal;
    default: return r == VarRelation::Equal;
    }
}

template <OpKind K>
bool relation(std::int32_t a, std::int32_t b)
{
    switch (K) {
    case OpKind::Great: return a > b;
    case OpKind::Less: return a < b;
    case OpKind::LessEq: return a <= b;
    case OpKind::GreatEq: return a >= b;
    case OpKind::NonEq: return a != b;
    default: return a == b;
    }
}

template <OpKind K>
class TCompareNode : public TfsOperatorNode {
public:
    TCompareNode() : TfsOperatorNode(K) {}
    Variant GetValue() override { return Variant(GetBool()); }
    bool GetBool() override
    {
        if (IsInteger) {
            // Two Integers compare without the Variant comparison; anything
            // else an integer variable may hold goes the general way.
            std::int32_t a = 0, b = 0;
            Variant va, vb;
            const bool ia = Left->TryInt(a, va);
            const bool ib = Right->TryInt(b, vb);
            if (ia && ib)
                return relation<K>(a, b);
            if (ia)
                va = Variant(a);
            if (ib)
                vb = Variant(b);
            return relation<K>(platform::varCompare(va, vb));
        }
        const Variant l = Left->GetValue();
        return relation<K>(platform::varCompare(l, Right->GetValue()));
    }
};

// An arithmetic operator: on 32-bit integers with the integer flag, on
// Variants otherwise.
template <OpKind K>
class TArithNode : public TfsOperatorNode {
public:
    TArithNode() : TfsOperatorNode(K) {}
    Variant GetValue() override
    {
        if (IsInteger)
            return Variant(GetInt());
        Variant l = Left->GetValue();
        switch (K) {
        case OpKind::Plus: return std::move(l) + Right->GetValue();
        case OpKind::Minus: return l - Right->GetValue();
        case OpKind::Mul: return l * Right->GetValue();
        case OpKind::DivInt: return platform::varIntDiv(l, Right->GetValue());
        default: return platform::varMod(l, Right->GetValue());
        }
    }
    std::int32_t GetInt() override
    {
        if (!IsInteger)
            return asInt32(GetValue());
        const std::int32_t a = Left->GetInt();
        const std::int32_t b = Right->GetInt();
        switch (K) {
        case OpKind::Plus: return platform::int32Add(a, b);
        case OpKind::Minus: return platform::int32Sub(a, b);
        case OpKind::Mul: return platform::int32Mul(a, b);
        case OpKind::DivInt: return platform::int32Div(a, b);
        default: return platform::int32Mod(a, b);
        }
    }
    bool TryInt(std::int32_t &out, Variant &other) override
    {
        if (IsInteger) {
            out = GetInt();
            return true;
        }
        return TfsExpressionNode::TryInt(out, other);
    }
};

class TStrCatNode : public TfsOperatorNode {
public:
    TStrCatNode() : TfsOperatorNode(OpKind::StrCat) {}
    Variant GetValue() override
    {
        Variant l = Left->GetValue();
        if (l.isString())
            return Variant(l.toString() + Right->GetValue().toString());
        return std::move(l) + Right->GetValue();
    }
};

class TDivFloatNode : public TfsOperatorNode {
public:
    TDivFloatNode() : TfsOperatorNode(OpKind::DivFloat) {}
    Variant GetValue() override
    {
        const Variant l = Left->GetValue();
        return l / Right->GetValue();
    }
};

class TOrNode : public TfsOperatorNode {
public:
    TOrNode() : TfsOperatorNode(OpKind::Or) {}
    Variant GetValue() override
    {
        Variant l = Left->GetValue();
        if (IsBoolean)
            return l.toBool() ? l : Right->GetValue();
        return platform::varOr(l, Right->GetValue());
    }
    bool GetBool() override
    {
        if (IsBoolean)
            return Left->GetBool() || Right->GetBool();
        return GetValue().toBool();
    }
};

class TAndNode : public TfsOperatorNode {
public:
    TAndNode() : TfsOperatorNode(OpKind::And) {}
    Variant GetValue() override
    {
        Variant l = Left->GetValue();
        if (IsBoolean)
            return l.toBool() ? Right->GetValue() : l;
        return platform::varAnd(l, Right->GetValue());
    }
    bool GetBool() override
    {
        if (IsBoolean)
            return Left->GetBool() && Right->GetBool();
        return GetValue().toBool();
    }
};

template <OpKind K>
class TBitNode : public TfsOperatorNode {
public:
    TBitNode() : TfsOperatorNode(K) {}
    Variant GetValue() override
    {
        const Variant l = Left->GetValue();
        switch (K) {
        case OpKind::Xor: return platform::varXor(l, Right->GetValue());
        case OpKind::Shl: return platform::varShl(l, Right->GetValue());
        default: return platform::varShr(l, Right->GetValue());
        }
    }
};

class TNotNode : public TfsOperatorNode {
public:
    TNotNode() : TfsOperatorNode(OpKind::Not) {}
    Variant GetValue() override { return platform::varNot(Left->GetValue()); }
};

class TUnMinusNode : public TfsOperatorNode {
public:
    TUnMinusNode() : TfsOperatorNode(OpKind::UnMinus) {}
    Variant GetValue() override { return platform::varNeg(Left->GetValue()); }
};

class TInNode : public TfsOperatorNode {
public:
    TInNode() : TfsOperatorNode(OpKind::In) {}
    Variant GetValue() override { return Variant(GetBool()); }
    bool GetBool() override
    {
        const Variant x = Left->GetValue();
        if (auto *set = dynamic_cast<TfsSetNode *>(Right))
            return set->Set->Contains(x);
        const Variant list = Right->GetValue();
        if (!list.isArray() || list.arrayDimensions() != 1)
            throw platform::VariantError(QStringLiteral("Ожидается массив значений"));
        const platform::VarBound b = list.arrayBound(1);
        auto at = [&list](int i) -> const Variant & {
            const int index[1] = {i};
            return list.arrayGet(index);
        };
        // Null between two elements makes them a range.
        for (int i = b.low; i <= b.high;) {
            if (i + 2 <= b.high && at(i + 1).isNull()) {
                if (x >= at(i) && x <= at(i + 2))
                    return true;
                i += 3;
            } else {
                if (x == at(i))
                    return true;
                ++i;
            }
        }
        return false;
    }
};

// The right side names a class and is never evaluated (that would make an
// instance).
class TIsNode : public TfsOperatorNode {
public:
    TIsNode() : TfsOperatorNode(OpKind::Is) {}
    Variant GetValue() override { return Variant(GetBool()); }
    bool GetBool() override
    {
        const Variant l = Left->GetValue();
        const TfsClassVariable *cls = classEntry();
        if (!cls || !l.isInteger() || !Variant::fitsInt32(l.rawInteger()))
            return false;
        return classlib::isObjectOf(static_cast<std::int32_t>(l.rawInteger()), *cls->ClassRef);
    }

private:
    const TfsClassVariable *classEntry() const
    {
        auto *node = dynamic_cast<TfsDesignatorNode *>(Right);
        if (!node || node->Designator->Count() == 0)
            return nullptr;
        TfsCustomVariable *first = node->Designator->Element(0)->Ref;
        return first && first->Kind == VarKind::ClassEntry ? static_cast<TfsClassVariable *>(first) : nullptr;
    }
};

} // namespace

TfsOperatorNode *CreateOperatorNode(const QByteArray &text)
{
    const QByteArray t = ansiUpperCase(text);
    if (t == " ")
        return new TNoneNode;
    if (t == ">")
        return new TCompareNode<OpKind::Great>;
    if (t == "<")
        return new TCompareNode<OpKind::Less>;
    if (t == "<=")
        return new TCompareNode<OpKind::LessEq>;
    if (t == ">=")
        return new TCompareNode<OpKind::GreatEq>;
    if (t == "<>")
        return new TCompareNode<OpKind::NonEq>;
    if (t == "=")
        return new TCompareNode<OpKind::Eq>;
    if (t == "+")
        return new TArithNode<OpKind::Plus>;
    if (t == "STRCAT")
        return new TStrCatNode;
    if (t == "-")
        return new TArithNode<OpKind::Minus>;
    if (t == "OR")
        return new TOrNode;
    if (t == "XOR")
        return new TBitNode<OpKind::Xor>;
    if (t == "*")
        return new TArithNode<OpKind::Mul>;
    if (t == "/")
        return new TDivFloatNode;
    if (t == "DIV")
        return new TArithNode<OpKind::DivInt>;
    if (t == "MOD")
        return new TArithNode<OpKind::Mod>;
    if (t == "AND")
        return new TAndNode;
    if (t == "SHL")
        return new TBitNode<OpKind::Shl>;
    if (t == "SHR")
        return new TBitNode<OpKind::Shr>;
    if (t == "(")
        return new TBracketNode(OpKind::LeftBracket);
    if (t == ")")
        return new TBracketNode(OpKind::RightBracket);
    if (t == "NOT")
        return new TNotNode;
    if (t == "UNMINUS")
        return new TUnMinusNode;
    if (t == "IN")
        return new TInNode;
    if (t == "IS")
        return new TIsNode;
    return nullptr;
}

// ---------------------------------------------------------------------------

TfsExpression::TfsExpression(TfsScript *script)
    : TfsCustomExpression(QByteArray(), fvtVariant, QByteArray()), Script(script), current_(new TNoneNode),
      root_(current_)
{
}

TfsExpression::~TfsExpression()
{
    delete root_;
}

void TfsExpression::SetValue(const Variant &value)
{
    if (IsReadOnly)
        return;
    if (auto *node = dynamic_cast<TfsDesignatorNode *>(root_))
        node->Designator->SetValue(value);
}

void TfsExpression::attach(TfsExpressionNode *node)
{
    node->SourcePos = CurrentPos;
    std::unique_ptr<TfsExpressionNode> owned(node);
    current_->AddNode(node);
    owned.release();
    current_ = node;
}

void TfsExpression::PushOperand(const Variant &value)
{
    attach(new TfsOperandNode(value));
}

void TfsExpression::PushDesignator(TfsDesignator *designator)
{
    std::unique_ptr<TfsDesignator> owned(designator);
    auto *node = new TfsDesignatorNode(designator);
    owned.release();
    attach(node);
}

void TfsExpression::PushSet(TfsSetExpression *set)
{
    std::unique_ptr<TfsSetExpression> owned(set);
    auto *node = new TfsSetNode(set);
    owned.release();
    attach(node);
}

bool TfsExpression::PushOperator(const QByteArray &text)
{
    std::unique_ptr<TfsOperatorNode> n(CreateOperatorNode(text));
    if (!n)
        return false;
    n->SourcePos = CurrentPos;
    switch (n->Op) {
    case OpKind::LeftBracket:
    case OpKind::Not:
    case OpKind::UnMinus: attach(n.release()); return true;
    case OpKind::RightBracket: {
        TfsExpressionNode *bracket = current_;
        while (bracket && bracket->Priority() <= 5)
            bracket = bracket->Parent;
        // A ")" without its "(" adds nothing.
        if (!bracket || bracket == root_)
            return true;
        TfsExpressionNode *parent = bracket->Parent;
        TfsExpressionNode *inner = bracket->Left;
        if (parent->Left == bracket)
            parent->Left = inner;
        else
            parent->Right = inner;
        bracket->Left = nullptr;
        delete bracket;
        if (inner)
            inner->Parent = parent;
        current_ = inner ? inner : parent;
        return true;
    }
    default: break;
    }
    TfsOperatorNode *node = n.release();
    if (current_ == root_) {
        current_->AddNode(node);
        current_ = node;
        return true;
    }
    TfsExpressionNode *s;
    TfsExpressionNode *candidate;
    auto *currentOp = dynamic_cast<TfsOperatorNode *>(current_);
    if (currentOp && currentOp->Op == OpKind::LeftBracket) {
        s = current_;
        candidate = nullptr;
    } else {
        candidate = current_;
        s = current_->Parent;
    }
    while (s && node->Priority() >= s->Priority()) {
        candidate = s;
        s = s->Parent;
    }
    if (candidate)
        s->RemoveNode(candidate);
    s->AddNode(node);
    if (candidate)
        node->AddNode(candidate);
    current_ = node;
    return true;
}

namespace {

bool isOperator(const TfsExpressionNode *node, OpKind &op)
{
    auto *o = dynamic_cast<const TfsOperatorNode *>(node);
    if (o)
        op = o->Op;
    return o;
}

// Every operator has its operands: two, or one for not and unary minus;
// no bracket is left.
void checkComplete(TfsExpressionNode *node)
{
    OpKind op;
    if (!isOperator(node, op))
        return;
    const bool unary = op == OpKind::Not || op == OpKind::UnMinus;
    if (op == OpKind::LeftBracket || op == OpKind::RightBracket || op == OpKind::None || !node->Left ||
        (!unary && !node->Right) || (unary && node->Right))
        throw TfsExpression::MissingOperand{node->SourcePos};
    checkComplete(node->Left);
    if (node->Right)
        checkComplete(node->Right);
}

bool isComparison(OpKind op)
{
    return op == OpKind::Great || op == OpKind::Less || op == OpKind::LessEq || op == OpKind::GreatEq ||
           op == OpKind::NonEq || op == OpKind::Eq;
}

int depthOf(TfsExpressionNode *root)
{
    int deepest = 0;
    std::vector<std::pair<TfsExpressionNode *, int>> rest{{root, 1}};
    while (!rest.empty()) {
        const auto [node, depth] = rest.back();
        rest.pop_back();
        deepest = std::max(deepest, depth);
        if (node->Left)
            rest.emplace_back(node->Left, depth + 1);
        if (node->Right)
            rest.emplace_back(node->Right, depth + 1);
    }
    return deepest;
}

// The types bottom-up; the first incompatible node's position.
void checkTypes(TfsExpressionNode *node, TfsScript *script, QByteArray &bad)
{
    auto *o = dynamic_cast<TfsOperatorNode *>(node);
    if (!o)
        return;
    ScriptType l{fvtVariant, {}}, r{fvtVariant, {}};
    if (o->Left) {
        checkTypes(o->Left, script, bad);
        l = {o->Left->Typ, o->Left->TypeName};
    }
    if (o->Right) {
        checkTypes(o->Right, script, bad);
        r = {o->Right->Typ, o->Right->TypeName};
    }
    o->IsInteger = l.code == fvtInt && r.code == fvtInt;
    o->IsBoolean = l.code == fvtBool && r.code == fvtBool;
    const OpKind op = o->Op;
    if (!(op == OpKind::Is && l.code == fvtClass && r.code == fvtClass)) {
        bool ok = TypeKindsCompatible(l, r, script);
        if (ok && l.code == fvtBool)
            ok = op == OpKind::NonEq || op == OpKind::Eq || op == OpKind::Or || op == OpKind::Xor ||
                 op == OpKind::And || op == OpKind::Not;
        if (ok && (l.code == fvtChar || l.code == fvtString))
            ok = isComparison(op) || op == OpKind::Plus || op == OpKind::StrCat || op == OpKind::In;
        if (ok && (l.code == fvtClass || l.code == fvtArray))
            ok = op == OpKind::NonEq || op == OpKind::Eq;
        if (!ok && bad.isEmpty())
            bad = o->SourcePos.isEmpty() ? QByteArray("0:0") : o->SourcePos;
    }
    o->Typ = l.code;
    o->TypeName = l.name;
    if ((l.code == fvtInt && r.code == fvtFloat) || (l.code == fvtFloat && r.code == fvtInt) ||
        (o->IsInteger && op == OpKind::DivFloat)) {
        o->Typ = fvtFloat;
        o->TypeName.clear();
    }
    if (isComparison(op) || op == OpKind::In || op == OpKind::Is) {
        o->Typ = fvtBool;
        o->TypeName.clear();
    }
}

} // namespace

QByteArray TfsExpression::Finish()
{
    TfsExpressionNode *inner = root_->Left;
    if (!inner)
        throw MissingOperand{CurrentPos};
    root_->Left = nullptr;
    delete root_;
    root_ = inner;
    root_->Parent = nullptr;
    current_ = root_;
    // Checking, evaluating and copying walk the tree recursively.
    if (depthOf(root_) > kMaxDepth)
        throw TooDeep{SourcePos.isEmpty() ? CurrentPos : SourcePos};
    checkComplete(root_);
    QByteArray bad;
    checkTypes(root_, Script, bad);
    Typ = root_->Typ;
    TypeName = root_->TypeName;
    auto *node = dynamic_cast<TfsDesignatorNode *>(root_);
    IsReadOnly = !node || node->Designator->IsReadOnly;
    return bad;
}

TfsCustomVariable *TfsExpression::SingleOperand() const
{
    if (auto *node = dynamic_cast<TfsDesignatorNode *>(root_))
        return node->Designator->DKind == DesignatorKind::Variable ? node->Designator->RefItem : node->Designator;
    if (dynamic_cast<TfsOperandNode *>(root_))
        return root_;
    return nullptr;
}

namespace {

bool sameVariable(TfsExpressionNode *node, TfsCustomVariable *variable)
{
    auto *d = dynamic_cast<TfsDesignatorNode *>(node);
    return d && d->Designator->DKind == DesignatorKind::Variable && d->Designator->RefItem == variable;
}

} // namespace

QByteArray TfsExpression::Optimize(TfsDesignator *target)
{
    if (target->DKind != DesignatorKind::Variable)
        return " ";
    auto *root = dynamic_cast<TfsOperatorNode *>(root_);
    if (!root || !root->Left || !root->Right)
        return " ";
    QByteArray op;
    switch (root->Op) {
    // "&" is the string join of the line-oriented language: the compound
    // joins texts as the node does.
    case OpKind::StrCat: op = "&"; break;
    case OpKind::Plus: op = "+"; break;
    case OpKind::Minus: op = "-"; break;
    case OpKind::Mul: op = "*"; break;
    case OpKind::DivFloat: op = "/"; break;
    default: return " ";
    }
    TfsCustomVariable *variable = target->RefItem;
    TfsExpressionNode *keep = nullptr;
    if (sameVariable(root->Left, variable)) {
        keep = root->Right;
    } else if (sameVariable(root->Right, variable) && (root->Op == OpKind::Plus || root->Op == OpKind::Mul) &&
               variable->Typ != fvtString && variable->Typ != fvtVariant) {
        keep = root->Left;
    } else {
        return " ";
    }
    root->RemoveNode(keep);
    delete root_;
    root_ = current_ = keep;
    Typ = keep->Typ;
    TypeName = keep->TypeName;
    IsReadOnly = true;
    return op;
}

} // namespace script
