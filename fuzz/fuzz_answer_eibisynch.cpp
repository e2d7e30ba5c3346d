// EI-Bisynch answers against a small table: one entry per value type, channels, an entry whose
// second mnemonic character equals another's first (the backward search compares only the
// first), pick lists with shifts, and fixed-address and write-only entries.
#include "fuzz/AnswerDriver.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr const char* kDescription = R"(// answer fuzzing table
PROT EI_BISYNCH
SECTION fuzz
VAR PV 1,1,ro,0,0,0,P,V,0,0,f1
VAR SL 1,0,rw,0,1000,0,S,L,0,0,d
VAR Mode 1,0,rw,0,2,0,M,D,0,2,s,Auto,Manual,Off
VAR Loop2 1,1,ro,0,0,0,P,V,2,0,f2
VAR OP 1,1,rw,0,100,0,O,P,3,0,u
VAR Bcd 1,0,rw,0,99,0,B,C,0,0,x
VAR Fields 1,0,ro,$0F00,$F004,0,F,D,0,0,v
VAR Index 1,0,rw,0,5,0,I,X,0,0,a
VAR Name 1,0,ro,0,0,0,N,M,0,0,c
VAR Total 1,1,ro,0,0,0,T,L,0,0,l
VAR Word 1,1,ro,0,0,0,H,W,0,0,h
VAR Shift 1,0,rw,0,3,0,S,H,1,-1,s,A,B,C,D
VAR Wide 1,0,rw,0,20,0,W,I,0,-31,s,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u
VAR VP 1,1,ro,0,0,0,V,P,0,0,d
VAR Cmd 1,0,we,0,1,0,C,M,0,0,d
VAR Remote 1,1,qe,0,100,0,R,M,9,0,f3
)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static quell::fuzz::AnswerDriver driver("answer_eibisynch.var", kDescription);
    driver.run(data, size);
    return 0;
}
