-- Array work: a sieve of primes, then sums over the array.
local N = 5000000
local flags = {}
for i = 1, N do flags[i] = false end
for i = 2, N do flags[i] = true end
local i = 2
while i * i <= N do
  if flags[i] then
    local j = i * i
    while j <= N do flags[j] = false; j = j + i end
  end
  i = i + 1
end
local count = 0
for k = 2, N do if flags[k] then count = count + 1 end end
print(count)
