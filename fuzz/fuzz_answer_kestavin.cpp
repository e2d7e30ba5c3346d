// Answers of the maker's protocol against a small table: one entry per value type, codes that
// several entries share (so the forward search wraps), codes in the status-byte range, the
// routing marker as a code, and fixed-address and write-only entries.
#include "fuzz/AnswerDriver.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr const char* kDescription = R"(// answer fuzzing table
PROT Kestavin
SECTION fuzz
VAR Temp 1,1,rw,-200,850,0,$10,$20,5,0,f1
VAR Setpoint 1,0,rw,0,1000,100,$11,$21,5,1,f2
VAR Mode 1,0,rw,0,2,0,$12,$22,5,4,s,Off,'On, fast',Auto
VAR Shifted 1,3,rw,0,1,0,$13,$23,5,-2,s,No,Yes
VAR Count 1,3,ro,0,1000,0,$14,$24,5,-40,d
VAR Unsigned 1,2,ro,0,65535,0,$15,$25,5,0,u
VAR Bcd 0,0,rw,0,99,0,$16,$26,5,0,x
VAR Fields 1,1,ro,$0F00,$F004,0,$17,$27,5,0,v
VAR Index 1,0,rw,0,7,0,$18,$28,5,1,a
VAR Serial 1,0,ro,0,0,0,$19,$29,5,0,c
VAR Total 1,1,ro,0,0,0,$1A,$2A,5,0,l
VAR Status 1,1,ro,0,0,0,$1B,$2B,5,0,h
VAR Reset 1,0,we,0,1,0,$1C,$2C,5,0,d
VAR Marker 1,1,qe,0,255,0,$FF,$FF,$FF,0,d
VAR Fine 1,1,rw,-32768,32767,0,$1D,$2D,5,-1,f9
VAR Wide 1,0,rw,0,20,0,$1E,$2E,5,31,s,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u
VAR TempB 1,1,rw,-200,850,0,$10,$20,6,0,f1
VAR Twin 1,1,rw,0,100,0,$10,$20,5,0,d
VAR InStatusRange 1,1,rw,0,100,0,$B0,$B3,5,0,d
)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static quell::fuzz::AnswerDriver driver("answer_kestavin.var", kDescription);
    driver.run(data, size);
    return 0;
}
