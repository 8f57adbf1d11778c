#pragma once
// Expression trees: operand and operator nodes built from the flat infix
// sequence of an intermediate program's expr element by precedence
// insertion, type-checked once and evaluated on demand.
//
// The priorities are the engine's own and deliberately flat: not and unary
// minus bind tightest, then * / div mod and shl shr, then + - or xor, then
// every comparison with in and is; so "a = 1 and b = 2" groups as
// "(a = (1 and b)) = 2" and needs brackets, as stored scripts expect.
//
// The type check decides once whether an operator works on two integers or
// two Booleans: integer arithmetic then runs on 32-bit integers without the
// general Variant operators, and and/or on Booleans short-circuit.

#include "script/Variables.h"

namespace script {

class TfsExpressionNode : public TfsCustomVariable {
public:
    TfsExpressionNode() : TfsCustomVariable(QByteArray(), fvtVariant, QByteArray()) {}
    ~TfsExpressionNode() override;
    virtual int Priority() const = 0;

    // The value as a Boolean (conditions).
    virtual bool GetBool() { return GetValue().toBool(); }
    // The value as a 32-bit integer (operators of the integer flag).
    virtual std::int32_t GetInt() { return asInt32(GetValue()); }
    // The value when it is an Integer (true), else the value as it is in
    // other (false); evaluated once either way.
    virtual bool TryInt(std::int32_t &out, Variant &other);

    void AddNode(TfsExpressionNode *node);
    void RemoveNode(TfsExpressionNode *node);

    TfsExpressionNode *Left = nullptr;
    TfsExpressionNode *Right = nullptr;
    TfsExpressionNode *Parent = nullptr;
};

class TfsOperandNode : public TfsExpressionNode {
public:
    explicit TfsOperandNode(const Variant &value);
    int Priority() const override { return 0; }
    Variant GetValue() override { return Value; }
    bool TryInt(std::int32_t &out, Variant &other) override;
};

class TfsDesignatorNode : public TfsOperandNode {
public:
    explicit TfsDesignatorNode(TfsDesignator *designator);
    ~TfsDesignatorNode() override;
    Variant GetValue() override { return direct_ ? source_->Value : source_->GetValue(); }
    std::int32_t GetInt() override { return asInt32(direct_ ? source_->Value : source_->GetValue()); }
    bool TryInt(std::int32_t &out, Variant &other) override;

    TfsDesignator *Designator;

private:
    // The variable of a plain-variable designator, else the designator.
    TfsCustomVariable *source_;
    bool direct_;
};

class TfsSetNode : public TfsOperandNode {
public:
    explicit TfsSetNode(TfsSetExpression *set);
    ~TfsSetNode() override;
    Variant GetValue() override { return Set->GetValue(); }
    TfsSetExpression *Set;
};

enum class OpKind : std::uint8_t {
    None, Great, Less, LessEq, GreatEq, NonEq, Eq, Plus, Minus, Or, Xor, Mul, DivFloat, DivInt, Mod,
    And, Shl, Shr, LeftBracket, RightBracket, Not, UnMinus, In, Is, StrCat,
};

class TfsOperatorNode : public TfsExpressionNode {
public:
    explicit TfsOperatorNode(OpKind kind) : Op(kind) {}
    int Priority() const override;
    OpKind Op;
    bool IsInteger = false;
    bool IsBoolean = false;
};

// A node of the operator's text ("+", "div", "unminus", "strcat" ...), of
// the class its kind needs; null for an unknown text.
TfsOperatorNode *CreateOperatorNode(const QByteArray &text);

class TfsExpression : public TfsCustomExpression {
public:
    explicit TfsExpression(TfsScript *script);
    ~TfsExpression() override;
    Variant GetValue() override { return root_->GetValue(); }
    bool GetBool() { return root_->GetBool(); }
    // Writes through the root's designator unless the expression is read-only.
    void SetValue(const Variant &value) override;

    void PushOperand(const Variant &value);
    void PushDesignator(TfsDesignator *designator);
    void PushSet(TfsSetExpression *set);
    // False for an unknown operator text.
    bool PushOperator(const QByteArray &text);
    // Unwraps the root and checks the types: the position of the first node
    // whose operands are incompatible, or empty. An operator without its
    // operands, or no operand at all, throws MissingOperand; a tree deeper
    // than kMaxDepth TooDeep.
    QByteArray Finish();
    // For target := this: "+", "-", "*", "/" when the assignment can be a
    // compound one (the tree then holds only the other operand), else " ".
    QByteArray Optimize(TfsDesignator *target);
    // The one object an assignment reads: a plain designator's variable, the
    // designator, or the operand node; none for a compound expression.
    TfsCustomVariable *SingleOperand() const;

    struct MissingOperand {
        QByteArray position;
    };
    // A tree deeper than this (a chain of a thousand operators) is refused:
    // checking and evaluating it would exhaust the stack.
    static constexpr int kMaxDepth = 1000;
    struct TooDeep {
        QByteArray position;
    };

    // The position the next node gets.
    QByteArray CurrentPos;
    TfsScript *Script;

private:
    void attach(TfsExpressionNode *node);

    TfsExpressionNode *current_;
    TfsExpressionNode *root_;
};

} // namespace script
