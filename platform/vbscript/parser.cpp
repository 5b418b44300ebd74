// The parser: a recursive descent over the token stream, one function per statement form and
// per precedence level (Imp lowest, then Eqv, Xor, Or, And, Not, comparisons, &, + -, Mod, \,
// * /, unary minus, ^). A call written as a statement takes its arguments without
// parentheses; "f (x)" passes x by value and "f(a, b)" is VBScript's error 1044.
#include "parser.h"

#include "errors.h"
#include "stack_guard.h"

namespace vbscript {

Expr::~Expr() {
  std::vector<ExprPtr> pending;
  auto adopt = [&](Expr& e) {
    if (e.lhs) pending.push_back(std::move(e.lhs));
    if (e.rhs) pending.push_back(std::move(e.rhs));
    for (auto& a : e.args) pending.push_back(std::move(a));
    e.args.clear();
  };
  adopt(*this);
  while (!pending.empty()) {
    ExprPtr e = std::move(pending.back());
    pending.pop_back();
    adopt(*e);
  }
}

namespace {

using K = Expr::Kind;
using SK = Stmt::Kind;

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

  Script script() {
    Script s;
    skipNewlines();
    while (!at(Tok::End)) {
      topLevel(s);
      skipNewlines();
    }
    return s;
  }

  ExprPtr onlyExpression() {
    skipNewlines();
    ExprPtr e = expression();
    skipNewlines();
    if (!at(Tok::End)) fail(1025);
    return e;
  }

 private:
  // ---- tokens
  const Token& peek(std::size_t k = 0) const { return t_[std::min(pos_ + k, t_.size() - 1)]; }
  bool at(Tok k) const { return peek().kind == k; }
  bool atKw(Kw k, std::size_t ahead = 0) const {
    return peek(ahead).kind == Tok::Name && peek(ahead).kw == k;
  }
  bool atOp(OpTok o) const { return peek().kind == Tok::Op && peek().op == o; }
  const Token& next() {
    const Token& t = t_[pos_];
    if (pos_ + 1 < t_.size()) ++pos_;
    return t;
  }
  bool acceptKw(Kw k) {
    if (!atKw(k)) return false;
    next();
    return true;
  }
  bool acceptOp(OpTok o) {
    if (!atOp(o)) return false;
    next();
    return true;
  }
  void expectKw(Kw k, int error) {
    if (!acceptKw(k)) fail(error);
  }
  void expectOp(OpTok o, int error) {
    if (!acceptOp(o)) fail(error);
  }
  [[noreturn]] void fail(int number) const {
    ScriptError e{number, Text(errorText(number)), kCompileSource, peek().origin};
    throw CompileError(std::move(e));
  }
  void skipNewlines() {
    while (at(Tok::Newline)) next();
  }
  bool atStatementEnd() const {
    return at(Tok::Newline) || at(Tok::End) || (singleLine_ > 0 && atKw(Kw::Else));
  }
  void endOfStatement() {
    if (!atStatementEnd()) fail(1025);
    if (singleLine_ == 0) skipNewlines();
  }
  Text identifier() {
    if (!at(Tok::Name) || isReserved(peek().kw)) fail(1010);
    return next().text;
  }
  // Words that may never name a variable; the others (Error, Explicit, Step, Property, ...)
  // are keywords only where a statement expects them.
  static bool isReserved(Kw k) {
    switch (k) {
      case Kw::None:
      case Kw::Error:
      case Kw::Explicit:
      case Kw::Step:
      case Kw::Property:
      case Kw::Default:
      case Kw::Get:
      case Kw::Let:
      case Kw::Preserve:
      case Kw::Resume:
        return false;
      default:
        return true;
    }
  }

  // ---- declarations
  void topLevel(Script& s) {
    if (atKw(Kw::Option)) {
      next();
      expectKw(Kw::Explicit, 1010);
      s.optionExplicit = true;
      endOfStatement();
      return;
    }
    if (atKw(Kw::Class)) {
      s.classes.push_back(classDecl());
      return;
    }
    bool isPublic = true, scoped = false;
    std::size_t save = pos_;
    if (atKw(Kw::Public) || atKw(Kw::Private)) {
      isPublic = next().kw == Kw::Public;
      scoped = true;
    }
    if (atKw(Kw::Default)) fail(1056);
    if (atKw(Kw::Sub) || atKw(Kw::Function)) {
      s.procs.push_back(procDecl(isPublic, false));
      return;
    }
    if (atKw(Kw::Property)) fail(1048);
    if (scoped) {
      pos_ = save;
      s.body.push_back(scopedDeclaration());
      return;
    }
    s.body.push_back(statement());
  }

  // Public/Private at script or class level: variables or constants.
  StmtPtr scopedDeclaration() {
    auto st = make(SK::Dim);
    st->isPublic = next().kw == Kw::Public;
    if (atKw(Kw::Const)) {
      st = constStatement();
      return st;
    }
    dimItems(*st, false);
    endOfStatement();
    return st;
  }

  ProcDecl procDecl(bool isPublic, bool isDefault) {
    ProcDecl p;
    p.origin = peek().origin;
    p.isPublic = isPublic;
    p.isDefault = isDefault;
    Kw kw = next().kw;
    if (kw == Kw::Sub) {
      p.kind = ProcDecl::Kind::Sub;
    } else if (kw == Kw::Function) {
      p.kind = ProcDecl::Kind::Function;
    } else {
      if (acceptKw(Kw::Get))
        p.kind = ProcDecl::Kind::PropertyGet;
      else if (acceptKw(Kw::Let))
        p.kind = ProcDecl::Kind::PropertyLet;
      else if (acceptKw(Kw::Set))
        p.kind = ProcDecl::Kind::PropertySet;
      else
        fail(1049);
    }
    p.name = identifier();
    if (acceptOp(OpTok::LParen)) {
      if (!atOp(OpTok::RParen)) {
        do {
          Param prm;
          if (acceptKw(Kw::ByVal))
            prm.byRef = false;
          else
            acceptKw(Kw::ByRef);
          prm.name = identifier();
          if (acceptOp(OpTok::LParen)) {
            expectOp(OpTok::RParen, 1006);
            prm.isArray = true;
          }
          p.params.push_back(std::move(prm));
        } while (acceptOp(OpTok::Comma));
      }
      expectOp(OpTok::RParen, 1006);
    }
    endOfStatement();
    Kw endKw = kw == Kw::Sub ? Kw::Sub : kw == Kw::Function ? Kw::Function : Kw::Property;
    p.body = block();
    if (!atKw(Kw::End)) fail(1014);
    next();
    expectKw(endKw, endKw == Kw::Sub ? 1016 : endKw == Kw::Function ? 1015 : 1050);
    endOfStatement();
    return p;
  }

  ClassDecl classDecl() {
    ClassDecl c;
    c.origin = next().origin;
    c.name = identifier();
    endOfStatement();
    while (!atKw(Kw::End)) {
      if (at(Tok::End)) fail(1014);
      bool isPublic = true, isDefault = false, scoped = false;
      if (atKw(Kw::Public) || atKw(Kw::Private)) {
        isPublic = next().kw == Kw::Public;
        scoped = true;
      }
      if (acceptKw(Kw::Default)) {
        if (!isPublic || !scoped) fail(1057);
        isDefault = true;
      }
      if (atKw(Kw::Sub) || atKw(Kw::Function) || atKw(Kw::Property)) {
        c.procs.push_back(procDecl(isPublic, isDefault));
      } else if (isDefault) {
        fail(1056);
      } else if (scoped || atKw(Kw::Dim)) {
        if (!scoped) next();
        if (atKw(Kw::Const)) fail(1024);
        Stmt st;
        dimItems(st, false);
        for (auto& item : st.items) {
          c.fields.push_back(std::move(item));
          c.fieldPublic.push_back(isPublic);
        }
        endOfStatement();
      } else {
        fail(1024);
      }
    }
    next();
    expectKw(Kw::Class, 1047);
    endOfStatement();
    return c;
  }

  // ---- statements
  StmtPtr make(SK kind) {
    auto st = std::make_unique<Stmt>();
    st->kind = kind;
    st->origin = peek().origin;
    return st;
  }

  // Statements up to (not including) End, Else, ElseIf, Case, Loop, Next or Wend.
  Block block() {
    Block b;
    if (stackNearlyExhausted()) fail(err::kOutOfStack);
    skipNewlines();
    for (;;) {
      if (at(Tok::End)) return b;
      if (at(Tok::Name)) {
        switch (peek().kw) {
          case Kw::End:
          case Kw::Else:
          case Kw::ElseIf:
          case Kw::Case:
          case Kw::Loop:
          case Kw::Next:
          case Kw::Wend:
            return b;
          case Kw::Sub:
          case Kw::Function:
          case Kw::Class:
          case Kw::Property:
          case Kw::Option:
            fail(1024);
          case Kw::Public:
          case Kw::Private:
            fail(1024);
          default:
            break;
        }
      }
      b.push_back(statement());
    }
  }

  StmtPtr statement() {
    if (at(Tok::Literal)) {
      auto st = make(SK::Literal);
      st->literal = static_cast<int>(next().ival);
      endOfStatement();
      return st;
    }
    if (at(Tok::WriteBegin)) {
      auto st = make(SK::Write);
      next();
      st->value = expression();
      if (!at(Tok::WriteEnd)) fail(1025);
      next();
      endOfStatement();
      return st;
    }
    if (at(Tok::Name)) {
      switch (peek().kw) {
        case Kw::Dim: {
          auto st = make(SK::Dim);
          next();
          dimItems(*st, false);
          endOfStatement();
          return st;
        }
        case Kw::ReDim:
          return redimStatement();
        case Kw::Const:
          return constStatement();
        case Kw::Erase: {
          auto st = make(SK::Erase);
          next();
          st->name = identifier();
          endOfStatement();
          return st;
        }
        case Kw::If:
          return ifStatement();
        case Kw::Select:
          return selectStatement();
        case Kw::For:
          return forStatement();
        case Kw::Do:
          return doStatement();
        case Kw::While:
          return whileStatement();
        case Kw::Exit:
          return exitStatement();
        case Kw::With:
          return withStatement();
        case Kw::On:
          return onErrorStatement();
        case Kw::Set:
          return setStatement();
        case Kw::Let:
          next();
          return assignOrCall(false);
        case Kw::Call: {
          next();
          return assignOrCall(true);
        }
        case Kw::Me:
        case Kw::None:
          return assignOrCall(false);
        case Kw::Loop:
          fail(1038);
        case Kw::Next:
          fail(1055);
        default:
          fail(1024);
      }
    }
    if (atOp(OpTok::Dot)) return assignOrCall(false);
    fail(1024);
  }

  void dimItems(Stmt& st, bool redim) {
    do {
      DimItem item;
      item.origin = peek().origin;
      item.name = identifier();
      if (acceptOp(OpTok::LParen)) {
        item.isArray = true;
        if (!atOp(OpTok::RParen)) {
          do item.bounds.push_back(expression());
          while (acceptOp(OpTok::Comma));
        } else if (redim) {
          fail(1023);
        }
        expectOp(OpTok::RParen, 1006);
      } else if (redim) {
        fail(1005);
      }
      st.items.push_back(std::move(item));
    } while (acceptOp(OpTok::Comma));
  }

  StmtPtr redimStatement() {
    auto st = make(SK::ReDim);
    next();
    st->preserve = acceptKw(Kw::Preserve);
    dimItems(*st, true);
    endOfStatement();
    return st;
  }

  StmtPtr constStatement() {
    auto st = make(SK::Const);
    if (atKw(Kw::Public) || atKw(Kw::Private)) st->isPublic = next().kw == Kw::Public;
    expectKw(Kw::Const, 1024);
    do {
      DimItem item;
      item.origin = peek().origin;
      item.name = identifier();
      expectOp(OpTok::Eq, 1011);
      st->items.push_back(std::move(item));
      st->values.push_back(constantValue());
    } while (acceptOp(OpTok::Comma));
    endOfStatement();
    return st;
  }

  // A literal, optionally negated or parenthesised, as Const requires.
  ExprPtr constantValue() {
    ExprPtr e = expression();
    const Expr* x = e.get();
    while (x->kind == K::Paren || (x->kind == K::Unary && x->uop != UnOp::Not)) x = x->lhs.get();
    if (x->kind != K::Const && x->kind != K::Nothing) fail(1045);
    return e;
  }

  StmtPtr ifStatement() {
    auto st = make(SK::If);
    next();
    st->conds.push_back(expression());
    expectKw(Kw::Then, 1017);
    if (!at(Tok::Newline) && !at(Tok::End)) return singleLineIf(std::move(st));
    skipNewlines();
    st->blocks.push_back(block());
    for (;;) {
      if (atKw(Kw::ElseIf)) {
        next();
        st->conds.push_back(expression());
        expectKw(Kw::Then, 1017);
        if (!at(Tok::Newline)) fail(1025);
        skipNewlines();
        st->blocks.push_back(block());
      } else if (atKw(Kw::Else)) {
        next();
        if (!at(Tok::Newline)) fail(1025);
        skipNewlines();
        st->blocks.push_back(block());
      } else {
        break;
      }
    }
    if (!atKw(Kw::End)) fail(1014);
    next();
    expectKw(Kw::If, 1012);
    endOfStatement();
    return st;
  }

  // If c Then a: b Else d: e — every statement on the one line.
  StmtPtr singleLineIf(StmtPtr st) {
    ++singleLine_;
    st->blocks.push_back(lineStatements());
    if (acceptKw(Kw::Else)) st->blocks.push_back(lineStatements());
    --singleLine_;
    if (atKw(Kw::End) && atKw(Kw::If, 1)) {  // tolerated: If c Then a : End If
      next();
      next();
    }
    endOfStatement();
    return st;
  }

  Block lineStatements() {
    Block b;
    for (;;) {
      if (at(Tok::Name) && (peek().kw == Kw::Else || (peek().kw == Kw::End && atKw(Kw::If, 1))))
        break;
      b.push_back(statement());
      if (at(Tok::Newline) && peek().ival == 1) {
        next();
        continue;
      }
      break;
    }
    return b;
  }

  StmtPtr selectStatement() {
    auto st = make(SK::Select);
    next();
    expectKw(Kw::Case, 1021);
    st->value = expression();
    endOfStatement();
    while (atKw(Kw::Case)) {
      CaseClause c;
      c.origin = next().origin;
      if (!acceptKw(Kw::Else)) {
        do {
          CaseClause::Test t;
          if (acceptKw(Kw::Is)) {
            if (!at(Tok::Op)) fail(1023);
            switch (next().op) {
              case OpTok::Eq:
                t.isOp = BinOp::Eq;
                break;
              case OpTok::Ne:
                t.isOp = BinOp::Ne;
                break;
              case OpTok::Lt:
                t.isOp = BinOp::Lt;
                break;
              case OpTok::Gt:
                t.isOp = BinOp::Gt;
                break;
              case OpTok::Le:
                t.isOp = BinOp::Le;
                break;
              case OpTok::Ge:
                t.isOp = BinOp::Ge;
                break;
              default:
                fail(1023);
            }
            t.value = concatenation();
          } else {
            t.value = expression();
            if (acceptKw(Kw::To)) t.upper = expression();
          }
          c.tests.push_back(std::move(t));
        } while (acceptOp(OpTok::Comma));
      }
      if (atStatementEnd()) endOfStatement();
      c.body = block();
      st->cases.push_back(std::move(c));
    }
    if (!atKw(Kw::End)) fail(1014);
    next();
    expectKw(Kw::Select, 1022);
    endOfStatement();
    return st;
  }

  StmtPtr forStatement() {
    next();
    if (acceptKw(Kw::Each)) {
      auto st = make(SK::ForEach);
      st->name = identifier();
      expectKw(Kw::In, 1046);
      st->value = expression();
      endOfStatement();
      st->body = block();
      closeNext();
      return st;
    }
    auto st = make(SK::For);
    st->name = identifier();
    expectOp(OpTok::Eq, 1011);
    st->value = expression();
    expectKw(Kw::To, 1013);
    st->upper = expression();
    if (acceptKw(Kw::Step)) st->step = expression();
    endOfStatement();
    st->body = block();
    closeNext();
    return st;
  }

  void closeNext() {
    expectKw(Kw::Next, 1020);
    if (at(Tok::Name) && !atStatementEnd()) identifier();
    endOfStatement();
  }

  StmtPtr doStatement() {
    auto st = make(SK::Do);
    next();
    if (atKw(Kw::While) || atKw(Kw::Until)) {
      st->until = next().kw == Kw::Until;
      st->value = expression();
    }
    endOfStatement();
    st->body = block();
    expectKw(Kw::Loop, 1019);
    if (atKw(Kw::While) || atKw(Kw::Until)) {
      if (st->value) fail(1025);
      st->condAtTop = false;
      st->until = next().kw == Kw::Until;
      st->value = expression();
    }
    endOfStatement();
    return st;
  }

  StmtPtr whileStatement() {
    auto st = make(SK::Do);
    next();
    st->value = expression();
    endOfStatement();
    st->body = block();
    expectKw(Kw::Wend, 1018);
    endOfStatement();
    return st;
  }

  StmtPtr exitStatement() {
    auto st = make(SK::Exit);
    next();
    if (!at(Tok::Name)) fail(1039);
    st->exitWhat = next().kw;
    switch (st->exitWhat) {
      case Kw::Do:
      case Kw::For:
      case Kw::Sub:
      case Kw::Function:
      case Kw::Property:
        break;
      default:
        fail(1039);
    }
    endOfStatement();
    return st;
  }

  StmtPtr withStatement() {
    auto st = make(SK::With);
    next();
    st->value = expression();
    endOfStatement();
    st->body = block();
    if (!atKw(Kw::End)) fail(1014);
    next();
    expectKw(Kw::With, 1029);
    endOfStatement();
    return st;
  }

  StmtPtr onErrorStatement() {
    auto st = make(SK::OnError);
    next();
    expectKw(Kw::Error, 1024);
    if (acceptKw(Kw::Resume)) {
      expectKw(Kw::Next, 1024);
      st->resumeNext = true;
    } else {
      expectKw(Kw::GoTo, 1024);
      if (!at(Tok::Integer) || peek().ival != 0) fail(1026);
      next();
    }
    endOfStatement();
    return st;
  }

  StmtPtr setStatement() {
    auto st = make(SK::Set);
    next();
    st->target = chain();
    if (!isAssignable(*st->target)) fail(1010);
    expectOp(OpTok::Eq, 1011);
    st->value = expression();
    endOfStatement();
    return st;
  }

  static bool isAssignable(const Expr& e) {
    return e.kind == K::Name || e.kind == K::Member || e.kind == K::Call;
  }

  // A statement that starts with a name: an assignment or a call.
  StmtPtr assignOrCall(bool withCall) {
    auto st = make(SK::Call);
    ExprPtr target = chain();
    if (!withCall && atOp(OpTok::Eq)) {
      if (!isAssignable(*target)) fail(1024);
      next();
      st->kind = SK::Assign;
      st->target = std::move(target);
      st->value = expression();
      endOfStatement();
      return st;
    }
    if (target->kind != K::Name && target->kind != K::Member && target->kind != K::Call) fail(1024);
    if (withCall) {
      st->target = std::move(target);
      endOfStatement();
      return st;
    }
    if (atStatementEnd()) {
      if (target->kind == K::Call && lastCallHadParens_) {
        if (target->args.size() > 1) fail(1044);
        for (auto& a : target->args) {  // f(x): x is passed by value
          if (a->kind != K::Missing) a = wrapParen(std::move(a));
        }
      }
      st->target = std::move(target);
      endOfStatement();
      return st;
    }
    // "f (a) + 1, b": the parentheses began the first argument. Parse again from there.
    if (target->kind == K::Call && lastCallHadParens_) {
      pos_ = lastParenPos_;
      target = std::move(target->lhs);
    } else if (target->kind == K::Call) {
      fail(1025);
    }
    auto call = std::make_unique<Expr>();
    call->kind = K::Call;
    call->origin = target->origin;
    call->lhs = std::move(target);
    do {
      if (atOp(OpTok::Comma) || atStatementEnd())
        call->args.push_back(missing());
      else
        call->args.push_back(expression());
    } while (acceptOp(OpTok::Comma));
    st->target = std::move(call);
    endOfStatement();
    return st;
  }

  ExprPtr wrapParen(ExprPtr e) {
    auto p = std::make_unique<Expr>();
    p->kind = K::Paren;
    p->origin = e->origin;
    p->lhs = std::move(e);
    return p;
  }

  ExprPtr missing() {
    auto e = std::make_unique<Expr>();
    e->kind = K::Missing;
    e->origin = peek().origin;
    return e;
  }

  // ---- expressions
  ExprPtr expression() { return binaryLevel(0); }

  static int levelOf(const Token& t, BinOp& op) {
    if (t.kind == Tok::Name) {
      switch (t.kw) {
        case Kw::Imp:
          op = BinOp::Imp;
          return 0;
        case Kw::Eqv:
          op = BinOp::Eqv;
          return 1;
        case Kw::Xor:
          op = BinOp::Xor;
          return 2;
        case Kw::Or:
          op = BinOp::Or;
          return 3;
        case Kw::And:
          op = BinOp::And;
          return 4;
        case Kw::Is:
          op = BinOp::Is;
          return 6;
        case Kw::Mod:
          op = BinOp::Mod;
          return 9;
        default:
          return -1;
      }
    }
    if (t.kind != Tok::Op) return -1;
    switch (t.op) {
      case OpTok::Eq:
        op = BinOp::Eq;
        return 6;
      case OpTok::Ne:
        op = BinOp::Ne;
        return 6;
      case OpTok::Lt:
        op = BinOp::Lt;
        return 6;
      case OpTok::Gt:
        op = BinOp::Gt;
        return 6;
      case OpTok::Le:
        op = BinOp::Le;
        return 6;
      case OpTok::Ge:
        op = BinOp::Ge;
        return 6;
      case OpTok::Amp:
        op = BinOp::Concat;
        return 7;
      case OpTok::Plus:
        op = BinOp::Add;
        return 8;
      case OpTok::Minus:
        op = BinOp::Sub;
        return 8;
      case OpTok::Backslash:
        op = BinOp::IntDiv;
        return 10;
      case OpTok::Star:
        op = BinOp::Mul;
        return 11;
      case OpTok::Slash:
        op = BinOp::Div;
        return 11;
      default:
        return -1;
    }
  }

  // Levels: 0 Imp, 1 Eqv, 2 Xor, 3 Or, 4 And, 5 Not, 6 comparison, 7 &, 8 + -, 9 Mod,
  // 10 \, 11 * /, 12 unary minus, then ^.
  ExprPtr binaryLevel(int level) {
    if (stackNearlyExhausted()) fail(err::kOutOfStack);
    if (level == 5) {
      if (atKw(Kw::Not)) {
        Origin o = next().origin;
        return unary(UnOp::Not, binaryLevel(5), o);
      }
      return binaryLevel(6);
    }
    if (level == 12) {
      if (atOp(OpTok::Minus) || atOp(OpTok::Plus)) {
        const Token& t = next();
        return unary(t.op == OpTok::Minus ? UnOp::Neg : UnOp::Plus, binaryLevel(12), t.origin);
      }
      return power();
    }
    ExprPtr lhs = binaryLevel(level + 1);
    for (;;) {
      BinOp op = BinOp::Add;
      if (levelOf(peek(), op) != level) return lhs;
      Origin o = next().origin;
      ExprPtr rhs = binaryLevel(level + 1);
      lhs = binary(op, std::move(lhs), std::move(rhs), o);
    }
  }

  ExprPtr concatenation() { return binaryLevel(7); }

  ExprPtr power() {
    ExprPtr lhs = chain();
    while (atOp(OpTok::Caret)) {
      Origin o = next().origin;
      ExprPtr rhs;
      if (atOp(OpTok::Minus) || atOp(OpTok::Plus)) {
        const Token& t = next();
        rhs = unary(t.op == OpTok::Minus ? UnOp::Neg : UnOp::Plus, chain(), t.origin);
      } else {
        rhs = chain();
      }
      lhs = binary(BinOp::Pow, std::move(lhs), std::move(rhs), o);
    }
    return lhs;
  }

  ExprPtr unary(UnOp op, ExprPtr operand, Origin o) {
    auto e = std::make_unique<Expr>();
    e->kind = K::Unary;
    e->uop = op;
    e->origin = o;
    e->lhs = std::move(operand);
    return e;
  }

  ExprPtr binary(BinOp op, ExprPtr a, ExprPtr b, Origin o) {
    auto e = std::make_unique<Expr>();
    e->kind = K::Binary;
    e->op = op;
    e->origin = o;
    e->lhs = std::move(a);
    e->rhs = std::move(b);
    return e;
  }

  ExprPtr constant(Variant v) {
    auto e = std::make_unique<Expr>();
    e->kind = K::Const;
    e->origin = peek().origin;
    e->value = std::move(v);
    next();
    return e;
  }

  // A primary followed by any number of .member and (arguments).
  ExprPtr chain() {
    ExprPtr e = primary();
    lastCallHadParens_ = false;
    for (;;) {
      if (atOp(OpTok::Dot) && !peek().spaceBefore) {
        next();
        e = member(std::move(e));
        lastCallHadParens_ = false;
      } else if (atOp(OpTok::LParen) && e->kind != K::Const && e->kind != K::Paren) {
        std::size_t parenPos = pos_;
        next();
        auto call = std::make_unique<Expr>();
        call->kind = K::Call;
        call->origin = e->origin;
        call->lhs = std::move(e);
        if (!atOp(OpTok::RParen)) {
          do {
            if (atOp(OpTok::Comma) || atOp(OpTok::RParen))
              call->args.push_back(missing());
            else
              call->args.push_back(expression());
          } while (acceptOp(OpTok::Comma));
        }
        expectOp(OpTok::RParen, 1006);
        e = std::move(call);
        lastCallHadParens_ = true;
        lastParenPos_ = parenPos;
      } else {
        return e;
      }
    }
  }

  ExprPtr member(ExprPtr object) {
    if (!at(Tok::Name)) fail(1010);
    auto m = std::make_unique<Expr>();
    m->kind = K::Member;
    m->origin = peek().origin;
    m->name = next().text;
    m->lhs = std::move(object);
    return m;
  }

  ExprPtr primary() {
    const Token& t = peek();
    switch (t.kind) {
      case Tok::Integer:
        if (t.hexLiteral) {
          if (t.ival >= INT16_MIN && t.ival <= INT16_MAX)
            return constant(Variant(static_cast<std::int16_t>(t.ival)));
          return constant(Variant(static_cast<std::int32_t>(t.ival)));
        }
        if (t.ival <= INT16_MAX) return constant(Variant(static_cast<std::int16_t>(t.ival)));
        return constant(Variant(static_cast<std::int32_t>(t.ival)));
      case Tok::Number:
        return constant(Variant(t.num));
      case Tok::String:
        return constant(Variant(t.text));
      case Tok::DateLit:
        return constant(Variant(automation::Date(t.num)));
      case Tok::Op:
        if (t.op == OpTok::LParen) {
          Origin o = next().origin;
          ExprPtr inner = expression();
          expectOp(OpTok::RParen, 1006);
          auto p = wrapParen(std::move(inner));
          p->origin = o;
          return p;
        }
        if (t.op == OpTok::Dot) {  // .member inside With
          next();
          return member(nullptr);
        }
        fail(1023);
      case Tok::Name:
        switch (t.kw) {
          case Kw::True:
            return constant(Variant(true));
          case Kw::False:
            return constant(Variant(false));
          case Kw::Empty:
            return constant(Variant());
          case Kw::Null:
            return constant(Variant::null());
          case Kw::Nothing: {
            auto e = std::make_unique<Expr>();
            e->kind = K::Nothing;
            e->origin = next().origin;
            return e;
          }
          case Kw::Me: {
            auto e = std::make_unique<Expr>();
            e->kind = K::Me;
            e->origin = next().origin;
            return e;
          }
          case Kw::New: {
            auto e = std::make_unique<Expr>();
            e->kind = K::New;
            e->origin = next().origin;
            e->name = identifier();
            return e;
          }
          default: {
            auto e = std::make_unique<Expr>();
            e->kind = K::Name;
            e->origin = t.origin;
            e->name = identifier();
            return e;
          }
        }
      default:
        fail(1023);
    }
  }

  std::vector<Token> t_;
  std::size_t pos_ = 0;
  int singleLine_ = 0;
  bool lastCallHadParens_ = false;
  std::size_t lastParenPos_ = 0;
};

}  // namespace

Script parse(std::vector<Token> tokens) { return Parser(std::move(tokens)).script(); }

ExprPtr parseExpression(std::vector<Token> tokens) {
  return Parser(std::move(tokens)).onlyExpression();
}

}  // namespace vbscript
